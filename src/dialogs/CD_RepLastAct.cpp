#include "dialogs/CD_RepLastAct.h"

#include "app/CAppContext.h"
#include "app/CClock.h"
#include "app/CSettings.h"
#include "app/CStringTable.h"
#include "db/CReferenceData.h"
#include "dialogs/CCheckListCombo.h"

#include <QBoxLayout>
#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QDateEdit>
#include <QDialogButtonBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QMutexLocker>
#include <QPushButton>
#include <QRadioButton>
#include <QTimeEdit>

namespace {

const QString kSection = QStringLiteral("Report");

QString T(const char *key)
{
    return CStringTable::text(QStringLiteral("dlg.replastact.") + QLatin1String(key));
}

template <typename W> W *named(W *w, const char *name)
{
    w->setObjectName(QLatin1String(name));
    return w;
}

QStringList columnOf(CDbCursor *cursor, const QString &column)
{
    QStringList out;
    if (!cursor || !cursor->isOpen())
        return out;
    for (cursor->moveFirst(); !cursor->isEOF(); cursor->moveNext()) {
        QString text;
        cursor->getFieldText(column, text);
        out << text;
    }
    return out;
}

// An "All" / "Selected" pair of radio buttons in a button group of their own.
void radioPair(QWidget *parent, QRadioButton *&all, QRadioButton *&selected, const char *allName,
               const char *selectedName)
{
    all = named(new QRadioButton(T("all"), parent), allName);
    selected = named(new QRadioButton(T("selected"), parent), selectedName);
    auto *g = new QButtonGroup(parent);
    g->addButton(all);
    g->addButton(selected);
}

} // namespace

CD_RepLastAct::CD_RepLastAct(QWidget *parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("repLastActDialog"));
    setWindowTitle(T("title"));

    // Report by activity or by group.
    auto *modeBox = named(new QGroupBox(T("mode"), this), "modeBox");
    m_byActivity = named(new QRadioButton(T("activity"), modeBox), "byActivity");
    m_byGroup = named(new QRadioButton(T("group"), modeBox), "byGroup");
    auto *modeLayout = new QHBoxLayout(modeBox);
    modeLayout->addWidget(m_byActivity);
    modeLayout->addWidget(m_byGroup);
    modeLayout->addStretch();

    auto *actBox = named(new QGroupBox(T("activityBox"), this), "activityBox");
    radioPair(actBox, m_actAll, m_actSelected, "activityAll", "activitySelected");
    m_activities = named(new QComboBox(actBox), "activities");
    m_invertAct = named(new QCheckBox(T("invert"), actBox), "invertActivity");
    auto *actLayout = new QGridLayout(actBox);
    actLayout->addWidget(m_actAll, 0, 0);
    actLayout->addWidget(m_actSelected, 1, 0);
    actLayout->addWidget(m_activities, 1, 1);
    actLayout->addWidget(m_invertAct, 2, 1);
    actLayout->setColumnStretch(1, 1);

    auto *groupBox = named(new QGroupBox(T("groupBox"), this), "groupBox");
    radioPair(groupBox, m_groupAll, m_groupSelected, "groupAll", "groupSelected");
    m_groups = named(new QComboBox(groupBox), "groups");
    m_invertGroup = named(new QCheckBox(T("invertGroup"), groupBox), "invertGroup");
    auto *groupLayout = new QGridLayout(groupBox);
    groupLayout->addWidget(m_groupAll, 0, 0);
    groupLayout->addWidget(m_groupSelected, 1, 0);
    groupLayout->addWidget(m_groups, 1, 1);
    groupLayout->addWidget(m_invertGroup, 2, 1);
    groupLayout->setColumnStretch(1, 1);

    auto *depBox = named(new QGroupBox(T("departments"), this), "departmentBox");
    radioPair(depBox, m_depAll, m_depSelected, "departmentsAll", "departmentsSelected");
    m_departments = named(new CCheckListCombo(depBox), "departments");
    auto *depLayout = new QGridLayout(depBox);
    depLayout->addWidget(m_depAll, 0, 0);
    depLayout->addWidget(m_depSelected, 1, 0);
    depLayout->addWidget(m_departments, 1, 1);
    depLayout->setColumnStretch(1, 1);

    auto *momentBox = named(new QGroupBox(T("moment"), this), "momentBox");
    m_date = named(new QDateEdit(momentBox), "date");
    m_date->setDisplayFormat(QStringLiteral("dd.MM.yyyy"));
    m_date->setCalendarPopup(true);
    m_date->setMinimumDate(QDate(1900, 1, 1));
    m_time = named(new QTimeEdit(momentBox), "time");
    m_time->setDisplayFormat(QStringLiteral("HH:mm"));
    m_now = named(new QPushButton(T("now"), momentBox), "now");
    auto *momentLayout = new QHBoxLayout(momentBox);
    momentLayout->addWidget(m_date, 1);
    momentLayout->addWidget(m_time);
    momentLayout->addWidget(m_now);

    m_unvisible = named(new QCheckBox(T("unvisible"), this), "unvisible");
    m_calendar = named(new QCheckBox(T("calendar"), this), "calendar");

    auto *sortBox = named(new QGroupBox(T("sort"), this), "sortBox");
    auto *sortLayout = new QHBoxLayout(sortBox);
    const char *sortKeys[3] = {"sortTime", "sortDepartment", "sortName"};
    for (int i = 0; i < 3; ++i) {
        m_sort[i] = named(new QRadioButton(T(sortKeys[i]), sortBox), sortKeys[i]);
        sortLayout->addWidget(m_sort[i]);
    }
    sortLayout->addStretch();

    auto *buttons = new QDialogButtonBox(this);
    QPushButton *ok = named(buttons->addButton(T("ok"), QDialogButtonBox::AcceptRole), "ok");
    ok->setDefault(true);
    named(buttons->addButton(T("cancel"), QDialogButtonBox::RejectRole), "cancel");
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

    auto *grid = new QGridLayout(this);
    grid->addWidget(modeBox, 0, 0);
    grid->addWidget(actBox, 1, 0);
    grid->addWidget(groupBox, 2, 0);
    grid->addWidget(depBox, 0, 1, 2, 1);
    grid->addWidget(momentBox, 2, 1);
    auto *checks = new QVBoxLayout;
    checks->addWidget(m_unvisible);
    checks->addWidget(m_calendar);
    grid->addLayout(checks, 3, 0);
    grid->addWidget(sortBox, 3, 1);
    grid->addWidget(buttons, 4, 0, 1, 2);
    grid->setColumnStretch(0, 1);
    grid->setColumnStretch(1, 1);

    // Lists in cursor order: the report maps a position back to the same row.
    CAppContext *ctx = CAppContext::current();
    if (CReferenceData *ref = ctx ? ctx->reference() : nullptr) {
        CDbCursor *groupCursor = ref->cursor(CReferenceData::ActivityGroupCursor);
        if (!groupCursor || !groupCursor->isOpen())
            m_byGroup->setEnabled(false);
        QStringList groups, activities, departments;
        {
            QMutexLocker<CDbMutex> lock(&ref->dbMutex);
            groups = columnOf(groupCursor, QStringLiteral("ID"));
            activities = columnOf(ref->cursor(CReferenceData::ActivityCursor), QStringLiteral("OpisLogAkt"));
            departments = columnOf(ref->cursor(CReferenceData::DepartmentCursor), QStringLiteral("NazivSektora"));
        }
        m_groups->addItems(groups);
        m_activities->addItems(activities);
        m_departments->setItems(departments);
    } else {
        m_byGroup->setEnabled(false);
    }

    applyOptions(ctx && ctx->settings() ? loadOptions(*ctx->settings()) : Options());

    for (QRadioButton *r :
         {m_byActivity, m_byGroup, m_actAll, m_actSelected, m_groupAll, m_groupSelected, m_depAll, m_depSelected})
        connect(r, &QRadioButton::toggled, this, &CD_RepLastAct::updateEnabling);
    connect(m_date, &QDateEdit::dateChanged, this, &CD_RepLastAct::updateEnabling);
    connect(m_now, &QPushButton::clicked, this, &CD_RepLastAct::applyNow);
    applyNow();
}

CD_RepLastAct::Options CD_RepLastAct::loadOptions(const CSettings &s)
{
    return CLastActOptions::load(s);
}

void CD_RepLastAct::saveOptions(CSettings &s, const Options &o)
{
    CLastActOptions::save(s, o);
}

void CD_RepLastAct::applyOptions(const Options &o)
{
    // Without a group list only the activity mode can be chosen.
    const bool byGroup = o.actOrGroup == 1 && m_byGroup->isEnabled();
    (byGroup ? m_byGroup : m_byActivity)->setChecked(true);
    (o.lastActAll == 1 ? m_actSelected : m_actAll)->setChecked(true);
    (o.groupAll == 1 ? m_groupSelected : m_groupAll)->setChecked(true);
    (o.depAll == 1 ? m_depSelected : m_depAll)->setChecked(true);
    // A position beyond the list leaves no item chosen.
    m_activities->setCurrentIndex(o.selAct < m_activities->count() ? o.selAct : -1);
    m_groups->setCurrentIndex(o.selGroup < m_groups->count() ? o.selGroup : -1);
    for (int p : o.selDeps)
        m_departments->setCheck(p, true);
    m_invertAct->setChecked(o.invertAct != 0);
    m_invertGroup->setChecked(o.invertGroup != 0);
    m_unvisible->setChecked(o.unvisible != 0);
    m_calendar->setChecked(o.calendar != 0);
    m_sort[o.sort >= 0 && o.sort <= 2 ? o.sort : 0]->setChecked(true);
}

CD_RepLastAct::Options CD_RepLastAct::options() const
{
    Options o;
    o.sort = m_sort[1]->isChecked() ? 1 : (m_sort[2]->isChecked() ? 2 : 0);
    o.unvisible = m_unvisible->isChecked();
    o.lastActAll = m_actSelected->isChecked();
    o.groupAll = m_groupSelected->isChecked();
    o.selAct = m_activities->currentIndex();
    o.selGroup = m_groups->currentIndex();
    o.depAll = m_depSelected->isChecked();
    o.actOrGroup = m_byGroup->isChecked();
    o.calendar = m_calendar->isChecked();
    o.invertAct = m_invertAct->isChecked();
    o.invertGroup = m_invertGroup->isChecked();
    o.selDeps = m_departments->checkedIndexes();
    return o;
}

CDateTime CD_RepLastAct::moment() const
{
    const QDate d = m_date->date();
    const QTime t = m_time->time();
    const double day = CDateTime::fromParts(d.year(), d.month(), d.day()).days();
    return CDateTime(day + (t.hour() * 3600 + t.minute() * 60 + t.second()) / 86400.0);
}

CLastActRequest CD_RepLastAct::request() const
{
    return options().toRequest(moment());
}

void CD_RepLastAct::applyNow()
{
    const QDateTime now = CClock::now();
    m_date->setDate(now.date());
    m_time->setTime(QTime(now.time().hour(), now.time().minute()));
    updateEnabling();
}

void CD_RepLastAct::updateEnabling()
{
    const bool byGroup = m_byGroup->isChecked();
    m_actAll->setEnabled(!byGroup);
    m_actSelected->setEnabled(!byGroup);
    m_groupAll->setEnabled(byGroup);
    m_groupSelected->setEnabled(byGroup);
    const bool act = !byGroup && m_actSelected->isChecked();
    m_activities->setEnabled(act);
    m_invertAct->setEnabled(act);
    const bool group = byGroup && m_groupSelected->isChecked();
    m_groups->setEnabled(group);
    m_invertGroup->setEnabled(group);
    m_departments->setEnabled(m_depSelected->isChecked());
    // The day type is today's: it says nothing about another day.
    const bool today = m_date->date() == CClock::now().date();
    if (!today)
        m_calendar->setChecked(false);
    m_calendar->setEnabled(today);
}

void CD_RepLastAct::accept()
{
    if (CAppContext *ctx = CAppContext::current(); ctx && ctx->settings())
        saveOptions(*ctx->settings(), options());
    QDialog::accept();
}
