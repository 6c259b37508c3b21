#include "rollcall/CRollCallEventReport.h"

#include "app/CClock.h"
#include "app/CCsvWriter.h"
#include "app/CFileWriter.h"
#include "app/CStringTable.h"
#include "reports/CReportEngine.h"
#include "reports/CReportItem.h"
#include "rollcall/CRollCallModel.h"
#include "rollcall/C_ZorvikDocRollCall.h"

#include <QBuffer>
#include <QPdfWriter>
#include <algorithm>
#include <numeric>

namespace {

QString text(const char *key)
{
    return CStringTable::text(QLatin1String(key));
}

// Names, departments and wardens print as typed: no marker or cell separator in them takes effect.
QString cell(const QString &t)
{
    return CReportItem::literal(t);
}

QString moment(const QDateTime &t)
{
    return t.toString(QStringLiteral("yyyy-MM-dd HH:mm:ss"));
}

QString kindText(const CRollCallDrill &drill)
{
    return text(drill.kind() == CRollCallDrill::Evacuation ? "rollcall.evacuation" : "rollcall.exercise");
}

QString duration(const CRollCallDrill &drill)
{
    const qint64 s = std::max<qint64>(0, drill.start().secsTo(drill.end()));
    return QStringLiteral("%1:%2:%3")
        .arg(s / 3600)
        .arg(s / 60 % 60, 2, 10, QLatin1Char('0'))
        .arg(s % 60, 2, 10, QLatin1Char('0'));
}

} // namespace

QList<CRollCallEventReport::Line> CRollCallEventReport::lines(const C_ZorvikDocRollCall &doc)
{
    const CRollCallModel &model = *doc.model();
    // The drill's own count: the never found, then those who left, then the found.
    CRollCallDrill::Tally tally = doc.tally();
    CRollCallModel::sortPeople(tally.missing);
    CRollCallModel::sortPeople(tally.left);
    QList<Line> out;
    for (const CRollCallModel::Person &p : std::as_const(tally.missing))
        out << Line{false, false, {}, {}, p.name, p.department, p.detail, p.company, false};
    for (const CRollCallModel::Person &p : std::as_const(tally.left))
        out << Line{false, true, {}, {}, p.name, p.department, p.detail, p.company, false};
    QList<Line> found;
    QList<QDateTime> foundAt;
    for (const CRollCallModel::Person &p : std::as_const(tally.found)) {
        Line l{true, false, {}, {}, p.name, p.department, p.detail, p.company, doc.onlyInMemory(p.key)};
        const auto a = model.attributions().constFind(p.key);
        const QDateTime at = a == model.attributions().cend() ? QDateTime() : a->at;
        if (a != model.attributions().cend()) {
            l.at = at.toString(QStringLiteral("HH:mm:ss"));
            l.by = a->warden.isEmpty() ? text("rollcall.desk") : a->warden;
        }
        found << l;
        foundAt << at;
    }
    // Found people by the moment of their tick, those of unknown time first.
    QList<int> order(found.size());
    std::iota(order.begin(), order.end(), 0);
    std::stable_sort(order.begin(), order.end(), [&](int a, int b) {
        return foundAt[a].isValid() != foundAt[b].isValid() ? !foundAt[a].isValid() : foundAt[a] < foundAt[b];
    });
    for (int i : order)
        out << found[i];
    return out;
}

bool CRollCallEventReport::fill(CReportEngine &engine, const C_ZorvikDocRollCall &doc)
{
    const CRollCallDrill &drill = doc.drill();
    const QString title =
        text(drill.kind() == CRollCallDrill::Evacuation ? "rollcall.evacuationRecord" : "rollcall.exerciseRecord");
    engine.Create(title);
    if (!engine.LoadTemplate(CReportEngine::templatePath(QString::fromLatin1(kTemplate))))
        return false;
    const QList<Line> all = lines(doc);
    enum Part
    {
        Missing,
        Left,
        Found
    };
    const auto partOf = [](const Line &l) { return l.found ? Found : l.left ? Left : Missing; };
    qsizetype counts[3] = {};
    for (const Line &l : all)
        ++counts[partOf(l)];
    QStringList rows;
    int n = 0;
    for (const Part part : {Missing, Left, Found}) {
        if (part == Left && counts[Left] == 0)
            continue;
        const char *headings[] = {"rollcall.partMissing", "rollcall.partLeft", "rollcall.partFound"};
        rows << QStringLiteral("||[%bold%]%1|||").arg(cell(text(headings[part]).arg(counts[part])));
        for (const Line &l : all) {
            if (partOf(l) != part)
                continue;
            const QString detail = l.company.isEmpty() ? l.detail : QStringLiteral("%1 (%2)").arg(l.detail, l.company);
            const QString by = l.inMemoryOnly ? text("rollcall.inMemoryOnly").arg(l.by) : l.by;
            rows << QStringList{QString::number(++n), cell(l.at), cell(l.name),
                                cell(l.department),   cell(by),   cell(detail)}
                        .join(u'|');
        }
    }
    engine.SetGridRows(QStringLiteral("Grid"), rows);
    const QString identity = text("rollcall.title");
    const struct
    {
        const char *field;
        QString text;
    } fields[] = {
        {"Title", title},
        {"Times", text("rollcall.eventTimes").arg(moment(drill.start()), moment(drill.end()), duration(drill))},
        {"Counts", text("rollcall.eventCounts")
                       .arg(counts[Found] + counts[Missing])
                       .arg(counts[Found])
                       .arg(counts[Missing])
                       .arg(counts[Left])},
        {"PrintDateTime", CClock::now().toString(QStringLiteral("yyyy-MM-dd HH:mm"))},
        {"Header", identity},
        {"Footer", identity},
        {"Num", QStringLiteral("#")},
        {"At", text("rollcall.col.tickedAt")},
        {"Name", text("rollcall.col.name")},
        {"Department", text("rollcall.col.department")},
        {"By", text("rollcall.col.tickedBy")},
        {"Detail", text("rollcall.col.detail")},
    };
    for (const auto &f : fields)
        engine.SetFieldText(QLatin1String(f.field), f.text);
    return true;
}

QByteArray CRollCallEventReport::csv(const C_ZorvikDocRollCall &doc)
{
    const CRollCallDrill &drill = doc.drill();
    const QStringList headings{text("rollcall.col.event"),    text("rollcall.col.started"),
                               text("rollcall.col.ended"),    text("rollcall.col.status"),
                               text("rollcall.col.tickedAt"), text("rollcall.col.tickedBy"),
                               text("rollcall.col.name"),     text("rollcall.col.department"),
                               text("rollcall.col.detail"),   text("rollcall.col.company")};
    QList<QStringList> rows;
    for (const Line &l : lines(doc))
        rows << QStringList{kindText(drill),
                            moment(drill.start()),
                            moment(drill.end()),
                            l.inMemoryOnly ? text("rollcall.inMemoryOnly").arg(text("rollcall.found"))
                            : l.left       ? text("rollcall.left")
                                           : text(l.found ? "rollcall.found" : "rollcall.neverFound"),
                            l.at,
                            l.by,
                            l.name,
                            l.department,
                            l.detail,
                            l.company};
    return CCsvWriter::encode(headings, rows);
}

bool CRollCallEventReport::write(const C_ZorvikDocRollCall &doc, const QString &pdfPath, const QString &csvPath,
                                 QString *error)
{
    // The CSV first: it needs no template, so a missing template still leaves a record.
    if (!CFileWriter::writeAtomically(csvPath, csv(doc), error))
        return false;
    CReportEngine engine;
    if (!fill(engine, doc)) {
        if (error)
            *error = text("rollcall.noTemplate").arg(QString::fromLatin1(kTemplate), engine.GetErrorText());
        return false;
    }
    engine.SetFieldText(QStringLiteral("TotalPages"), QStringLiteral(" / %1").arg(engine.Paginate()));
    QBuffer pdf;
    pdf.open(QIODevice::WriteOnly);
    {
        QPdfWriter writer(&pdf);
        writer.setTitle(engine.GetTitle());
        writer.setPageSize(QPageSize(QPageSize::A4));
        writer.setPageMargins(QMarginsF(0, 0, 0, 0));
        writer.setResolution(300);
        if (!engine.Print(writer)) {
            if (error)
                *error = QStringLiteral("PDF");
            return false;
        }
    }
    return CFileWriter::writeAtomically(pdfPath, pdf.data(), error);
}
