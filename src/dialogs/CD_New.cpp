#include "dialogs/CD_New.h"

#include "app/CAppContext.h"
#include "app/CListFilterModel.h"
#include "app/CSettings.h"
#include "app/CStringTable.h"
#include "db/CDbCursor.h"
#include "db/CDbWorker.h"
#include "db/CReferenceData.h"
#include "db/CSqlDialect.h"
#include "dialogs/CCheckListModel.h"
#include "dialogs/CDialogUnits.h"
#include "dialogs/CPrompt.h"
#include "panel/C_ZorvikDoc.h"
#include "views/CSearchField.h"

#include <QApplication>
#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QFrame>
#include <QGroupBox>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMutexLocker>
#include <QPushButton>
#include <QRadioButton>
#include <QTreeView>
#include <cmath>
#include <memory>
#include <utility>

namespace {

const QString kSection = QStringLiteral("Settings");
const QString kSelectionValue = QStringLiteral("NewPanelSelection");

QRect du(double x, double y, double w, double h)
{
    return CDialogUnits::rect(x, y, w, h);
}

QString dlgText(const char *key)
{
    return CStringTable::text(QStringLiteral("dlg.1032.") + QLatin1String(key));
}

CReferenceData *reference()
{
    CAppContext *ctx = CAppContext::current();
    return ctx ? ctx->reference() : nullptr;
}

CSettings *settings()
{
    CAppContext *ctx = CAppContext::current();
    return ctx ? ctx->settings() : nullptr;
}

// Filling a long list from the server can take a moment.
class WaitCursor
{
public:
    WaitCursor() { QApplication::setOverrideCursor(Qt::WaitCursor); }
    ~WaitCursor() { QApplication::restoreOverrideCursor(); }
    WaitCursor(const WaitCursor &) = delete;
    WaitCursor &operator=(const WaitCursor &) = delete;
};

void setUpList(QTreeView *view, QAbstractItemModel *model, const QList<int> &widths)
{
    view->setModel(model);
    view->setRootIsDecorated(false);
    view->setItemsExpandable(false);
    view->setUniformRowHeights(true);
    view->setAllColumnsShowFocus(true);
    view->setSelectionBehavior(QAbstractItemView::SelectRows);
    view->setSelectionMode(QAbstractItemView::SingleSelection);
    view->setEditTriggers(QAbstractItemView::NoEditTriggers);
    view->setSortingEnabled(false);
    view->setWordWrap(false);
    view->setTextElideMode(Qt::ElideRight);
    QHeaderView *header = view->header();
    header->setSectionsClickable(false);
    header->setSectionsMovable(false);
    header->setStretchLastSection(false);
    header->setSectionResizeMode(QHeaderView::Interactive);
    header->setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    for (int i = 0; i < widths.size(); ++i)
        view->setColumnWidth(i, widths.at(i));
}

QFrame *separator(QWidget *parent, int y)
{
    auto *line = new QFrame(parent);
    line->setFrameShape(QFrame::HLine);
    line->setFrameShadow(QFrame::Sunken);
    line->setGeometry(du(5, y, 512, 2));
    return line;
}

} // namespace

CD_New::CD_New(PanelFactory factory, QWidget *parent) : QDialog(parent), m_factory(std::move(factory))
{
    build();
    // The employees-or-departments choice of the last new panel.
    const int mode = settings() ? settings()->readInt(kSection, kSelectionValue) : 0;
    (mode == 1 ? m_modeDepartments : m_modeEmployees)->setChecked(true);
    initialise();
}

CD_New::CD_New(C_ZorvikDoc *document, QWidget *parent) : QDialog(parent), m_editMode(true), m_document(document)
{
    build();
    setWindowTitle(S(1044));
    m_arrangeHorizontally->setEnabled(false);
    m_arrangeVertically->setEnabled(false);
    m_modeEmployees->setChecked(true);
    if (document) {
        m_title->setText(document->title());
        m_useImage->setChecked(document->useImage());
        m_tile->setChecked(document->tile());
        m_imagePath->setText(document->imagePath());
    }
    initialise();
}

CD_New::~CD_New() = default;

void CD_New::build()
{
    setObjectName(QStringLiteral("CD_New"));
    setWindowTitle(dlgText("title"));
    setFixedSize(du(0, 0, 522, 321).size());

    // Created in the order of the keyboard focus chain.
    auto *titleLabel = new QLabel(dlgText("label.title"), this);
    titleLabel->setObjectName(QStringLiteral("pageTitleLabel"));
    titleLabel->move(du(6, 9, 0, 0).topLeft());
    titleLabel->adjustSize();
    m_title = new QLineEdit(this);
    m_title->setObjectName(QStringLiteral("pageTitle"));
    m_title->setGeometry(du(51, 6, 201, 14));
    titleLabel->setBuddy(m_title);

    separator(this, 25);

    m_modeEmployees = new QRadioButton(dlgText("1118"), this);
    m_modeEmployees->setObjectName(QStringLiteral("modeEmployees"));
    m_modeEmployees->setGeometry(du(3, 30, 50, 10));
    m_modeDepartments = new QRadioButton(dlgText("1119"), this);
    m_modeDepartments->setObjectName(QStringLiteral("modeDepartments"));
    m_modeDepartments->setGeometry(du(263, 30, 57, 10));
    m_modeGroup = new QButtonGroup(this);
    m_modeGroup->addButton(m_modeEmployees, 0);
    m_modeGroup->addButton(m_modeDepartments, 1);

    auto *departmentLabel = new QLabel(dlgText("label.department"), this);
    departmentLabel->setObjectName(QStringLiteral("departmentLabel"));
    departmentLabel->move(du(5, 53, 0, 0).topLeft());
    departmentLabel->adjustSize();
    m_filter = new QComboBox(this);
    m_filter->setObjectName(QStringLiteral("departmentFilter"));
    m_filter->setGeometry(du(51, 50, 201, 14));
    m_filter->setMaxVisibleItems(12);
    departmentLabel->setBuddy(m_filter);

    m_employeesCheckAll = new QPushButton(dlgText("1018"), this);
    m_employeesCheckAll->setObjectName(QStringLiteral("employeesCheckAll"));
    m_employeesCheckAll->setGeometry(du(51, 68, 99, 14));
    m_employeesUncheckAll = new QPushButton(dlgText("1019"), this);
    m_employeesUncheckAll->setObjectName(QStringLiteral("employeesUncheckAll"));
    m_employeesUncheckAll->setGeometry(du(155, 68, 99, 14));

    m_employees = new CCheckListModel({S(1045), S(1046), S(1047), S(1048)}, this);
    m_employeeFilter = new CListFilterModel(this);
    m_employeeFilter->setSourceModel(m_employees);
    m_employeeView = new QTreeView(this);
    m_employeeView->setObjectName(QStringLiteral("employeeList"));
    m_employeeView->setGeometry(du(5, 103, 249, 103));
    setUpList(m_employeeView, m_employeeFilter, {100, 100, 80, 60});
    // Found by name, card or department as the user types; sorted by the column clicked.
    m_employeeView->header()->setSortIndicator(-1, Qt::AscendingOrder);
    m_employeeView->setSortingEnabled(true);
    m_employeeView->header()->setSectionsClickable(true);
    m_employeeSearch = new CSearchField(m_employeeFilter, m_employeeView, this, this);
    m_employeeSearch->setGeometry(du(5, 86, 249, 14));

    m_departmentsCheckAll = new QPushButton(dlgText("1020"), this);
    m_departmentsCheckAll->setObjectName(QStringLiteral("departmentsCheckAll"));
    m_departmentsCheckAll->setGeometry(du(311, 68, 99, 14));
    m_departmentsUncheckAll = new QPushButton(dlgText("1021"), this);
    m_departmentsUncheckAll->setObjectName(QStringLiteral("departmentsUncheckAll"));
    m_departmentsUncheckAll->setGeometry(du(415, 68, 99, 14));

    m_departments = new CCheckListModel({S(1082)}, this);
    m_departmentView = new QTreeView(this);
    m_departmentView->setObjectName(QStringLiteral("departmentList"));
    m_departmentView->setGeometry(du(265, 86, 249, 120));
    setUpList(m_departmentView, m_departments, {340});

    separator(this, 215);

    m_arrangeHorizontally = new QRadioButton(dlgText("1048"), this);
    m_arrangeHorizontally->setObjectName(QStringLiteral("arrangeHorizontally"));
    m_arrangeHorizontally->setGeometry(du(160, 223, 81, 10));
    m_arrangeVertically = new QRadioButton(dlgText("1049"), this);
    m_arrangeVertically->setObjectName(QStringLiteral("arrangeVertically"));
    m_arrangeVertically->setGeometry(du(266, 223, 73, 10));
    m_arrangementGroup = new QButtonGroup(this);
    m_arrangementGroup->addButton(m_arrangeHorizontally, 0);
    m_arrangementGroup->addButton(m_arrangeVertically, 1);
    m_arrangeHorizontally->setChecked(true);

    // The check box stands on the group box's top line, as its heading.
    auto *imageBox = new QGroupBox(this);
    imageBox->setObjectName(QStringLiteral("backgroundImageGroup"));
    imageBox->setGeometry(du(154, 243, 249, 46));
    m_useImage = new QCheckBox(dlgText("1059"), this);
    m_useImage->setObjectName(QStringLiteral("backgroundImage"));
    m_useImage->setGeometry(du(160, 238, 74, 10));
    m_useImage->setAutoFillBackground(true);
    m_useImage->raise();
    m_imagePath = new QLineEdit(this);
    m_imagePath->setObjectName(QStringLiteral("imagePath"));
    m_imagePath->setReadOnly(true);
    m_imagePath->setGeometry(du(160, 253, 237, 14));
    m_selectImage = new QPushButton(dlgText("1057"), this);
    m_selectImage->setObjectName(QStringLiteral("selectImage"));
    m_selectImage->setGeometry(du(160, 271, 50, 14));
    m_tile = new QCheckBox(dlgText("1060"), this);
    m_tile->setObjectName(QStringLiteral("tile"));
    m_tile->setGeometry(du(220, 274, 27, 10));
    m_tile->adjustSize();

    separator(this, 294);

    m_ok = new QPushButton(dlgText("1"), this);
    m_ok->setObjectName(QStringLiteral("okButton"));
    m_ok->setGeometry(du(410, 300, 50, 14));
    m_ok->setDefault(true);
    m_cancel = new QPushButton(dlgText("2"), this);
    m_cancel->setObjectName(QStringLiteral("cancelButton"));
    m_cancel->setGeometry(du(464, 300, 50, 14));

    connect(m_ok, &QPushButton::clicked, this, &CD_New::accept);
    connect(m_cancel, &QPushButton::clicked, this, &CD_New::reject);
    connect(m_filter, &QComboBox::activated, this, &CD_New::departmentFilterChanged);
    connect(m_employeesCheckAll, &QPushButton::clicked, this, [this] { checkAllEmployees(true); });
    connect(m_employeesUncheckAll, &QPushButton::clicked, this, [this] { checkAllEmployees(false); });
    connect(m_departmentsCheckAll, &QPushButton::clicked, this, [this] { checkAllDepartments(true); });
    connect(m_departmentsUncheckAll, &QPushButton::clicked, this, [this] { checkAllDepartments(false); });
    connect(m_useImage, &QCheckBox::toggled, this, &CD_New::backgroundImageToggled);
    connect(m_selectImage, &QPushButton::clicked, this, &CD_New::selectImage);
    // Arrow keys move the choice too, so follow the state rather than the clicks.
    connect(m_modeGroup, &QButtonGroup::idToggled, this, &CD_New::selectionModeChanged);
}

void CD_New::initialise()
{
    // Every employee gets an entry, so that check marks survive the department filter; a
    // panel being edited starts with its own employees checked.
    if (CReferenceData *ref = reference()) {
        QMutexLocker lock(&ref->dbMutex);
        CDbCursor *emp = ref->cursor(CReferenceData::EmployeeCursor);
        if (emp && emp->isOpen()) {
            emp->setFilter(QString());
            if (emp->recordCount() > 0) {
                const QString idColumn = QStringLiteral("IDZaposlenog");
                for (emp->moveFirst(); !emp->isEOF(); emp->moveNext()) {
                    QString id;
                    emp->getFieldText(idColumn, id);
                    m_checkMap.emplace(id, m_editMode && m_document && m_document->tablet(id) != nullptr);
                }
            }
        }
    }

    fillEmployees(QString());

    m_filter->clear();
    m_filter->addItem(S(1031), QString());
    m_departments->beginFill();
    if (CReferenceData *ref = reference()) {
        for (const auto &[id, name] : ref->departmentMap) {
            m_filter->addItem(name, id);
            m_departments->appendRow({name}, id, false);
        }
    }
    m_departments->endFill();
    m_filter->setCurrentIndex(0);

    backgroundImageToggled();
    enableListControls();
    // The list shows the employee table as it is now once the re-read arrives.
    rereadEmployees();
}

void CD_New::fillEmployees(const QString &departmentId)
{
    WaitCursor wait;
    m_employees->beginFill();
    CReferenceData *ref = reference();
    if (ref) {
        // The shared cursor as it is; the polling thread's reconnection may replace it at any
        // time, hence DBMutex around the walk.
        QMutexLocker lock(&ref->dbMutex);
        CDbCursor *emp = ref->cursor(CReferenceData::EmployeeCursor);
        if (emp && emp->isOpen()) {
            if (!departmentId.isEmpty())
                emp->setFilter(QStringLiteral("IDSektora = %1").arg(CSqlDialect::literal(departmentId)));
            if (emp->recordCount() > 0) {
                QString last, first, idNo, id, department;
                for (emp->moveFirst(); !emp->isEOF(); emp->moveNext()) {
                    emp->getFieldText(QStringLiteral("Prezime"), last);
                    emp->getFieldText(QStringLiteral("Ime"), first);
                    emp->getFieldText(QStringLiteral("IDNo"), idNo);
                    emp->getFieldText(QStringLiteral("IDZaposlenog"), id);
                    emp->getFieldText(QStringLiteral("IDSektora"), department);
                    // The media number is the card part of the medium's identifier.
                    const QString media = idNo.mid(6, 8).toUpper();
                    const auto it = m_checkMap.find(id);
                    const auto name = ref->departmentMap.find(department);
                    m_employees->appendRow({last, first, media, id}, id, it != m_checkMap.end() && it->second,
                                           {name != ref->departmentMap.end() ? name->second : QString()});
                }
            }
            // Other users of the shared cursor expect it unfiltered.
            emp->setFilter(QString());
        }
    }
    m_employees->endFill();
}

QString CD_New::filterDepartment() const
{
    const int entry = m_filter->currentIndex();
    return entry > 0 ? m_filter->itemData(entry).toString() : QString();
}

void CD_New::rereadEmployees()
{
    CReferenceData *ref = reference();
    if (!ref || ref->databaseError)
        return;
    if (m_reader && m_reader->isBusy()) {
        m_rereadAgain = true;
        return;
    }
    if (!m_reader)
        m_reader = new CDbWorker(&ref->connection(), this);
    auto fresh = std::make_shared<std::unique_ptr<CDbCursor>>();
    // Across the network without DBMutex and off the interface thread; only the swap holds it.
    m_reader->run([ref, fresh] { *fresh = ref->readFresh(CReferenceData::EmployeeCursor); },
                  [this, ref, fresh] {
                      if (*fresh && (*fresh)->isOpen()) {
                          {
                              QMutexLocker lock(&ref->dbMutex);
                              ref->cursor(CReferenceData::EmployeeCursor)->adopt(**fresh);
                              ref->employeesStale = false;
                          }
                          storeCheckStates();
                          fillEmployees(filterDepartment());
                      } else {
                          // The last good rows stay, and everyone who counts on them is told
                          // they are not current until the polling thread has read them again.
                          ref->employeesStale = true;
                      }
                      if (std::exchange(m_rereadAgain, false))
                          rereadEmployees();
                  });
}

void CD_New::storeCheckStates()
{
    // An employee added to the table while the dialog is open has no entry yet; it gets one
    // here, so that its check mark survives filtering too.
    for (int row = 0; row < m_employees->rowCount(); ++row)
        m_checkMap[m_employees->key(row)] = m_employees->isChecked(row);
}

void CD_New::departmentFilterChanged()
{
    storeCheckStates();
    fillEmployees(filterDepartment());
    rereadEmployees();
}

void CD_New::checkAllEmployees(bool checked)
{
    m_employees->setAllChecked(checked);
}

void CD_New::checkAllDepartments(bool checked)
{
    m_departments->setAllChecked(checked);
}

void CD_New::backgroundImageToggled()
{
    const bool on = m_useImage->isChecked();
    m_imagePath->setEnabled(on);
    m_selectImage->setEnabled(on);
    m_tile->setEnabled(on);
}

void CD_New::selectImage()
{
    const QString path =
        CPrompt::openFileName(this, dlgText("openCaption"), m_imagePath->text(), dlgText("imageFilter"));
    if (!path.isEmpty())
        m_imagePath->setText(path);
}

void CD_New::selectionModeChanged()
{
    enableListControls();
}

void CD_New::enableListControls()
{
    const bool employees = selectionMode() == 0;
    m_filter->setEnabled(employees);
    m_employeeView->setEnabled(employees);
    m_employeeSearch->setEnabled(employees);
    m_employeesCheckAll->setEnabled(employees);
    m_employeesUncheckAll->setEnabled(employees);
    m_departmentView->setEnabled(!employees);
    m_departmentsCheckAll->setEnabled(!employees);
    m_departmentsUncheckAll->setEnabled(!employees);
}

QString CD_New::pageTitle() const
{
    return m_title->text();
}

int CD_New::selectionMode() const
{
    return m_modeDepartments->isChecked() ? 1 : 0;
}

NewPanelData CD_New::data() const
{
    NewPanelData d;
    d.rows.reserve(m_employees->rowCount());
    for (int row = 0; row < m_employees->rowCount(); ++row)
        d.rows.append({m_employees->text(row, 0), m_employees->text(row, 1), m_employees->text(row, 2),
                       m_employees->text(row, 3), m_employees->isChecked(row)});
    d.useImage = m_useImage->isChecked();
    d.imagePath = m_imagePath->text();
    d.tile = m_tile->isChecked();
    d.arrangement = m_arrangeVertically->isChecked() ? 1 : 0;
    return d;
}

void CD_New::accept()
{
    if (m_title->text().isEmpty()) {
        CPrompt::error(this, S(1049));
        m_title->setFocus();
        return;
    }
    if (m_useImage->isChecked() && m_imagePath->text().isEmpty()) {
        CPrompt::error(this, S(1065));
        m_title->setFocus();
        return;
    }

    if (selectionMode() == 1) {
        // Departments replace the selection: in edit mode the panel is emptied first.
        if (m_editMode && m_document)
            m_document->removeAll();
        for (auto &entry : m_checkMap)
            entry.second = false;
        m_employees->setAllChecked(false);
        for (int row = 0; row < m_departments->rowCount(); ++row) {
            if (!m_departments->isChecked(row))
                continue;
            m_filter->setCurrentIndex(row + 1);
            departmentFilterChanged();
            m_employees->setAllChecked(true);
        }
    }
    m_filter->setCurrentIndex(0);
    departmentFilterChanged();

    if (m_editMode) {
        if (m_document) {
            m_document->applyDialog(data());
            m_document->setModified(true);
        }
    } else {
        const QString title = m_title->text();
        const NewPanel created = m_factory ? m_factory(title) : NewPanel{};
        if (!created.document)
            return; // nothing was created: leave the choice on screen
        m_document = created.document;
        m_document->setTitle(title);
        m_document->initFromDialog(data(), created.clientSize);
        m_document->setModified(true);
    }

    if (CSettings *s = settings())
        s->writeInt(kSection, kSelectionValue, selectionMode());
    QDialog::accept();
}
