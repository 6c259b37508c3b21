#pragma once

#include <QDialog>

class QTextBrowser;

// Help topics (F1): how to use the program and its keys, in the program's language. A window
// of its own beside the main window, so that it can stay open while the user tries things.
class CHelpWindow : public QDialog
{
    Q_OBJECT
public:
    explicit CHelpWindow(QWidget *parent = nullptr);
    QTextBrowser *browser() const { return m_browser; }

private:
    QTextBrowser *m_browser;
};
