#pragma once

#include "db/CDateTime.h"
#include "reports/CLastActOptions.h"
#include "reports/CLastActQuery.h"

#include <QDialog>
#include <QList>

class CCheckListCombo;
class CSettings;
class QAbstractButton;
class QCheckBox;
class QComboBox;
class QDateEdit;
class QPushButton;
class QRadioButton;
class QTimeEdit;

// The options of the Last activity report: activity or group and which, departments, the
// moment, invisible clockings, the day type and the sort order. The options live in the
// settings section "Report"; OK saves every one of them, Cancel none.
class CD_RepLastAct : public QDialog
{
    Q_OBJECT
public:
    using Options = CLastActOptions;

    // Fills the lists from the reference cursors and starts from the stored options and now.
    explicit CD_RepLastAct(QWidget *parent = nullptr);

    static Options loadOptions(const CSettings &settings);
    static void saveOptions(CSettings &settings, const Options &options);

    // The options as the controls show them.
    Options options() const;
    // The chosen date plus the chosen time.
    CDateTime moment() const;
    // What the Reports command builds from the options (no employee list).
    CLastActRequest request() const;

    // The date becomes today and the time the current hour and minute.
    void applyNow();

public slots:
    void accept() override;

private:
    void applyOptions(const Options &o);
    void updateEnabling();

    QRadioButton *m_byActivity, *m_byGroup;
    QRadioButton *m_actAll, *m_actSelected;
    QComboBox *m_activities;
    QCheckBox *m_invertAct;
    QRadioButton *m_groupAll, *m_groupSelected;
    QComboBox *m_groups;
    QCheckBox *m_invertGroup;
    QRadioButton *m_depAll, *m_depSelected;
    CCheckListCombo *m_departments;
    QDateEdit *m_date;
    QTimeEdit *m_time;
    QPushButton *m_now;
    QCheckBox *m_unvisible, *m_calendar;
    QRadioButton *m_sort[3];
};
