#include "dialogs/CHelpWindow.h"

#include "app/CStringTable.h"

#include <QDialogButtonBox>
#include <QPushButton>
#include <QTextBrowser>
#include <QVBoxLayout>

CHelpWindow::CHelpWindow(QWidget *parent)
    : QDialog(parent, Qt::Window | Qt::WindowTitleHint | Qt::WindowCloseButtonHint), m_browser(new QTextBrowser(this))
{
    setObjectName(QStringLiteral("helpWindow"));
    setWindowTitle(CStringTable::text(QStringLiteral("help.title")));
    m_browser->setObjectName(QStringLiteral("helpText"));
    m_browser->setOpenExternalLinks(false);
    m_browser->setHtml(CStringTable::text(QStringLiteral("help.html")));
    auto *buttons = new QDialogButtonBox(QDialogButtonBox::Close, this);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::close);
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(m_browser, 1);
    layout->addWidget(buttons);
    resize(640, 560);
}
