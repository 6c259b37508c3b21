#include "dialogs/CD_LangLib.h"

#include "app/CStringTable.h"
#include "dialogs/CPrompt.h"

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QGridLayout>
#include <QLabel>
#include <QPushButton>
#include <QStyle>

namespace {
CD_LangLib::TestHook &testHook()
{
    static CD_LangLib::TestHook hook;
    return hook;
}
} // namespace

CD_LangLib::CD_LangLib(bool showAgain, QWidget *parent)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint)
{
    setObjectName(QStringLiteral("langLibDialog"));
    setWindowTitle(CStringTable::text(QStringLiteral("dlg.1049.title")));

    auto *icon = new QLabel(this);
    icon->setObjectName(QStringLiteral("icon"));
    const int side = style()->pixelMetric(QStyle::PM_MessageBoxIconSize, nullptr, this);
    icon->setPixmap(style()->standardIcon(QStyle::SP_MessageBoxWarning, nullptr, this).pixmap(side, side));
    icon->setAlignment(Qt::AlignTop);

    auto *text = new QLabel(CStringTable::text(QStringLiteral("dlg.1049.text")), this);
    text->setObjectName(QStringLiteral("text"));
    text->setWordWrap(true);

    m_again = new QCheckBox(CStringTable::text(QStringLiteral("dlg.1049.1046")), this);
    m_again->setObjectName(QStringLiteral("showAgain"));
    m_again->setChecked(showAgain);

    auto *buttons = new QDialogButtonBox(this);
    m_ok = buttons->addButton(CStringTable::text(QStringLiteral("dlg.1049.1")), QDialogButtonBox::AcceptRole);
    m_ok->setObjectName(QStringLiteral("ok"));
    m_ok->setDefault(true);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);

    auto *layout = new QGridLayout(this);
    layout->addWidget(icon, 0, 0, 2, 1);
    layout->addWidget(text, 0, 1);
    layout->addWidget(m_again, 1, 1);
    layout->addWidget(buttons, 2, 0, 1, 2, Qt::AlignHCenter);
    layout->setColumnStretch(1, 1);
    setMinimumWidth(360);
    m_ok->setFocus();
}

bool CD_LangLib::showAgain() const
{
    return m_again->isChecked();
}

int CD_LangLib::run()
{
    if (testHook())
        return testHook()(*this);
    if (CPrompt::testMode())
        return QDialog::Rejected;
    return exec();
}

void CD_LangLib::setTestHook(TestHook hook)
{
    testHook() = std::move(hook);
}
