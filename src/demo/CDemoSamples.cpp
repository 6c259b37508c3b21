#include "demo/CDemoSamples.h"

#include "app/CNameOrder.h"
#include "app/CStringTable.h"

#include "config/CColourFile.h"
#include "demo/CDemoDatabase.h"
#include "panel/CPanelFile.h"
#include "panel/CPanelGeometry.h"

#include <QColor>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <algorithm>

namespace {

constexpr int kWidth = CPanelGeometry::kTabletWidth, kCollapsed = CPanelGeometry::kCollapsedHeight,
              kExpanded = CPanelGeometry::kExpandedHeight;

struct Employee
{
    QString id, lastName, firstName, card;
};

QList<Employee> readEmployees(const QString &databasePath, QString *error)
{
    QList<Employee> out;
    const QString name = QStringLiteral("zorvik-demo-samples");
    if (CDemoDatabase::openConnection(name, databasePath, error)) {
        QSqlQuery q(QSqlDatabase::database(name, false));
        if (q.exec(QStringLiteral("select IDZaposlenog, Prezime, Ime, IDNo from viewMediaIDActive "
                                  "order by IDZaposlenog"))) {
            while (q.next())
                out.append({q.value(0).toString(), q.value(1).toString(), q.value(2).toString(),
                            q.value(3).toString().mid(6, 8).toUpper()});
        }
    }
    QSqlDatabase::removeDatabase(name);
    if (out.isEmpty() && error && error->isEmpty())
        *error = databasePath;
    return out;
}

PanelFileTablet tabletAt(const Employee &e, int x, int y, bool expanded)
{
    PanelFileTablet t;
    t.x = x;
    t.y = y;
    t.w = kWidth;
    t.h = expanded ? kExpanded : kCollapsed;
    t.expanded = expanded;
    t.lastName = e.lastName;
    t.firstName = e.firstName;
    t.card = e.card;
    t.id = e.id;
    return t;
}

// A front desk: one row of expanded tablets with their photographs, the others collapsed in rows
// below it.
PanelFileData reception(const QList<Employee> &all)
{
    PanelFileData d;
    const int n = std::min<int>(CDemoSamples::kReceptionSize, int(all.size()));
    for (int i = 0; i < n; ++i) {
        if (i < CDemoSamples::kPerRow) {
            d.tablets.append(tabletAt(all.at(i), i * kWidth, 0, true));
        } else {
            const int k = i - CDemoSamples::kPerRow;
            d.tablets.append(tabletAt(all.at(i), (k % CDemoSamples::kPerRow) * kWidth,
                                      kExpanded + kCollapsed + (k / CDemoSamples::kPerRow) * kCollapsed, false));
        }
    }
    return d;
}

// Everyone, as arranging horizontally would put them: sorted by last name, first name and key.
PanelFileData allStaff(QList<Employee> all)
{
    std::sort(all.begin(), all.end(), [](const Employee &a, const Employee &b) {
        return CNameOrder::lessPerson(a.lastName, a.firstName, a.id, b.lastName, b.firstName, b.id);
    });
    // Rows of kPerRow, or wider when that many rows would run off the bottom of the canvas.
    const int rowsThatFit = CPanelGeometry::kCanvasSize / kCollapsed;
    const int perRow = std::max<int>(CDemoSamples::kPerRow, int((all.size() + rowsThatFit - 1) / rowsThatFit));
    PanelFileData d;
    for (int i = 0; i < all.size(); ++i)
        d.tablets.append(tabletAt(all.at(i), (i % perRow) * kWidth, (i / perRow) * kCollapsed, false));
    return d;
}

} // namespace

ColourMap CDemoSamples::colours()
{
    // Colours of near hues differ in lightness as well (dark Arrival, light Return from break),
    // so that no two activities are told apart by hue alone.
    using A = CDemoDatabase;
    const std::pair<int, QColor> colours[] = {
        {A::Arrival, QColor(46, 125, 50)},
        {A::Departure, QColor(120, 144, 156)},
        {A::BusinessTrip, QColor(30, 136, 229)},
        {A::Break, QColor(255, 193, 7)},
        {A::BreakReturn, QColor(174, 213, 129)},
        {A::PrivateExit, QColor(255, 138, 101)},
        {A::OfficialExit, QColor(0, 105, 92)},
        {A::Doctor, QColor(236, 64, 122)},
        {A::SickLeave, QColor(183, 28, 28)},
        {A::Overtime, QColor(142, 36, 170)},
        {A::WeekendDuty, QColor(40, 53, 147)},
        {A::Training, QColor(77, 208, 225)},
        {A::AnnualLeave, QColor(130, 119, 23)},
        {A::Maternity, QColor(248, 187, 208)},
        {A::PublicHolidayLeave, QColor(188, 170, 164)},
    };
    ColourMap map;
    for (const auto &[id, colour] : colours)
        map[QString::number(id)] = fromQColor(colour);
    return map;
}

QStringList CDemoSamples::panelPaths(const QString &folder)
{
    // Named in the interface language; a name never makes a path of its own.
    const QDir dir(folder);
    QStringList paths;
    for (const char *key : {"demo.panel.reception", "demo.panel.allStaff"})
        paths << dir.filePath(CStringTable::text(QLatin1String(key)).replace(u'/', u'-') + QStringLiteral(".zvl"));
    return paths;
}

QStringList CDemoSamples::onSiteActivities()
{
    using A = CDemoDatabase;
    QStringList out;
    for (int id : {A::Arrival, A::Break, A::BreakReturn, A::Overtime, A::WeekendDuty})
        out << QString::number(id);
    return out;
}

QString CDemoSamples::colourFilePath(const QString &folder)
{
    return QDir(folder).filePath(QString::fromLatin1(CColourFile::kFileName));
}

bool CDemoSamples::ensure(const QString &databasePath, const QString &folder, QString *error,
                          QHash<QString, QString> *renamed)
{
    const QStringList panels = panelPaths(folder);
    // Samples written in another language take this one's names, with whatever the user changed
    // in them; the database remembers the names they were given.
    const QString connection = QStringLiteral("zorvik-demo-sample-names");
    if (CDemoDatabase::openConnection(connection, databasePath, nullptr)) {
        QSqlQuery q(QSqlDatabase::database(connection, false));
        for (int i = 0; i < panels.size(); ++i) {
            const QString key = QStringLiteral("panel.%1").arg(i + 1);
            QString before;
            if (q.exec(QStringLiteral("select value from zv_demo where name = '%1'").arg(key)) && q.next())
                before = QDir(folder).filePath(q.value(0).toString());
            q.finish();
            if (before.isEmpty()) // samples of a demo older than the names: the English ones
                before = QDir(folder).filePath(
                    CStringTable::builtInText(QLatin1String(i == 0 ? "demo.panel.reception" : "demo.panel.allStaff")) +
                    QStringLiteral(".zvl"));
            if (before != panels.at(i) && QFile::exists(before) && !QFile::exists(panels.at(i)) &&
                QFile::rename(before, panels.at(i)) && renamed)
                renamed->insert(before, panels.at(i));
            q.prepare(QStringLiteral("insert or replace into zv_demo (name, value) values (?, ?)"));
            q.addBindValue(key);
            q.addBindValue(QFileInfo(panels.at(i)).fileName());
            q.exec();
        }
    }
    QSqlDatabase::removeDatabase(connection);
    const bool panelsThere = QFile::exists(panels.at(0)) && QFile::exists(panels.at(1));
    if (!QFile::exists(colourFilePath(folder)) && !CColourFile::save(colourFilePath(folder), colours(), error))
        return false;
    if (panelsThere)
        return true;
    const QList<Employee> all = readEmployees(databasePath, error);
    if (all.isEmpty())
        return false;
    if (!QFile::exists(panels.at(0)) && !CPanelFile::save(panels.at(0), reception(all), error))
        return false;
    if (!QFile::exists(panels.at(1)) && !CPanelFile::save(panels.at(1), allStaff(all), error))
        return false;
    return true;
}
