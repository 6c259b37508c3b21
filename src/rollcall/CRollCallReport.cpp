#include "rollcall/CRollCallReport.h"

#include "app/CClock.h"
#include "app/CStringTable.h"
#include "reports/CReportEngine.h"
#include "reports/CReportItem.h"
#include "rollcall/CRollCallModel.h"
#include "rollcall/C_ZorvikDocRollCall.h"

namespace {

// Names and departments print as typed: no marker or cell separator in them takes effect.
QString cell(const QString &text)
{
    return CReportItem::literal(text);
}

} // namespace

QStringList CRollCallReport::gridRows(const C_ZorvikDocRollCall &doc)
{
    const CRollCallModel &model = *doc.model();
    QStringList rows;
    int n = 0;
    for (const bool ticked : {false, true}) {
        QList<int> part;
        for (int r = 0; r < model.rowCount(); ++r)
            if (model.isTicked(r) == ticked)
                part << r;
        const QString heading =
            CStringTable::text(ticked ? QStringLiteral("rollcall.partTicked") : QStringLiteral("rollcall.partOpen"))
                .arg(part.size());
        rows << QStringLiteral("||[%bold%]%1||||").arg(cell(heading));
        // The model's order is already department, then name.
        for (int r : part) {
            const CRollCallModel::Person &p = model.people().at(r);
            rows << QStringList{QString::number(++n), ticked ? QStringLiteral("\u2713") : QString(),
                                cell(p.name),         cell(p.department),
                                cell(p.time),         cell(p.detail),
                                cell(p.company)}
                        .join(u'|');
        }
    }
    return rows;
}

bool CRollCallReport::fill(CReportEngine &engine, const C_ZorvikDocRollCall &doc, const QString &identity)
{
    engine.Create(CStringTable::text(QStringLiteral("rollcall.title")));
    if (!engine.LoadTemplate(CReportEngine::templatePath(QString::fromLatin1(kTemplate))))
        return false;
    engine.SetGridRows(QStringLiteral("Grid"), gridRows(doc));
    const struct
    {
        const char *field;
        QString text;
    } fields[] = {
        {"Title", CStringTable::text(QStringLiteral("rollcall.title"))},
        {"SubTitle", doc.countsText()},
        {"Stale", doc.staleText()},
        {"PrintDateTime", CClock::now().toString(QStringLiteral("yyyy-MM-dd HH:mm"))},
        {"Header", cell(identity)},
        {"Footer", cell(identity)},
        {"Num", QStringLiteral("#")},
        {"Tick", QStringLiteral("\u2713")},
        {"Name", CStringTable::text(QStringLiteral("rollcall.col.name"))},
        {"Department", CStringTable::text(QStringLiteral("rollcall.col.department"))},
        {"Time", CStringTable::text(QStringLiteral("rollcall.col.time"))},
        {"Detail", CStringTable::text(QStringLiteral("rollcall.col.detail"))},
        {"Company", CStringTable::text(QStringLiteral("rollcall.col.company"))},
    };
    for (const auto &f : fields)
        engine.SetFieldText(QLatin1String(f.field), f.text);
    return true;
}
