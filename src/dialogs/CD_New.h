#pragma once

#include "db/ReferenceMaps.h"
#include "panel/CTablet.h"
#include "panel/C_ZorvikDoc.h"
#include "panel/NewPanelData.h"

#include <QDialog>
#include <QPointer>
#include <QSize>
#include <functional>
#include <map>

class CCheckListModel;
class CDbWorker;
class CListFilterModel;
class CSearchField;
class QButtonGroup;
class QCheckBox;
class QComboBox;
class QLineEdit;
class QPushButton;
class QRadioButton;
class QTreeView;

// The dialog in which the user composes a panel: its title, the employees (one by one or by
// whole departments), the arrangement and an optional background image. Without a document it
// creates a new panel on OK; bound to a panel it changes that panel's employees and background.
class CD_New : public QDialog
{
    Q_OBJECT
public:
    // What the New command's factory returns: the new panel (already shown in its window) and
    // the client size of its view, which the first arrangement fills.
    struct NewPanel
    {
        C_ZorvikDoc *document = nullptr;
        QSize clientSize;
    };
    using PanelFactory = std::function<NewPanel(const QString &title)>;
    using CheckMap = std::map<QString, bool, ByteWiseLess>;

    // New-panel mode.
    explicit CD_New(PanelFactory factory, QWidget *parent = nullptr);
    // Edit mode: filled with the panel's title and background settings.
    explicit CD_New(C_ZorvikDoc *document, QWidget *parent = nullptr);
    ~CD_New() override;

    bool isEditMode() const { return m_editMode; }
    // The bound panel, or after OK in new-panel mode the created one.
    C_ZorvikDoc *document() const { return m_document; }

    // What the panel receives: every row of the employee list with its check state, the
    // background image settings and the arrangement.
    NewPanelData data() const;
    QString pageTitle() const;
    int selectionMode() const;
    // Employee identifier -> checked, kept across changes of the department filter.
    const CheckMap &checkMap() const { return m_checkMap; }

public slots:
    void accept() override;
    // A new entry in the department filter: keeps the list's check marks, shows the employees
    // of the chosen department (all for "All"), and reads the employee table again.
    void departmentFilterChanged();
    void checkAllEmployees(bool checked);
    void checkAllDepartments(bool checked);
    void backgroundImageToggled();
    void selectImage();
    void selectionModeChanged();

private:
    void build();
    void initialise();
    void fillEmployees(const QString &departmentId);
    // Reads the employee table again on a thread of its own; the list is filled again from it
    // when it arrives. A failed read keeps the rows there are.
    void rereadEmployees();
    QString filterDepartment() const;
    void storeCheckStates();
    void enableListControls();

    bool m_editMode = false;
    PanelFactory m_factory;
    QPointer<C_ZorvikDoc> m_document;
    CheckMap m_checkMap;
    CDbWorker *m_reader = nullptr;
    bool m_rereadAgain = false;

    QLineEdit *m_title = nullptr;
    QButtonGroup *m_modeGroup = nullptr;
    QRadioButton *m_modeEmployees = nullptr;
    QRadioButton *m_modeDepartments = nullptr;
    QComboBox *m_filter = nullptr;
    QPushButton *m_employeesCheckAll = nullptr;
    QPushButton *m_employeesUncheckAll = nullptr;
    QTreeView *m_employeeView = nullptr;
    CCheckListModel *m_employees = nullptr;
    CListFilterModel *m_employeeFilter = nullptr;
    CSearchField *m_employeeSearch = nullptr;
    QPushButton *m_departmentsCheckAll = nullptr;
    QPushButton *m_departmentsUncheckAll = nullptr;
    QTreeView *m_departmentView = nullptr;
    CCheckListModel *m_departments = nullptr;
    QButtonGroup *m_arrangementGroup = nullptr;
    QRadioButton *m_arrangeHorizontally = nullptr;
    QRadioButton *m_arrangeVertically = nullptr;
    QCheckBox *m_useImage = nullptr;
    QLineEdit *m_imagePath = nullptr;
    QPushButton *m_selectImage = nullptr;
    QCheckBox *m_tile = nullptr;
    QPushButton *m_ok = nullptr;
    QPushButton *m_cancel = nullptr;
};
