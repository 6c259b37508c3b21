#pragma once

#include <QColor>
#include <QMessageBox>
#include <QPageLayout>
#include <QString>
#include <QStringList>
#include <functional>

class QPrinter;
class QWidget;

// Every modal question the program asks (message boxes, file dialogs, the colour dialog) goes
// through here, so that a test can answer in advance instead of blocking on a window.
class CPrompt
{
public:
    // A message box with the given buttons and icon, its text plain; returns the button pressed.
    static QMessageBox::StandardButton message(QWidget *parent, const QString &text,
                                               QMessageBox::StandardButtons buttons = QMessageBox::Ok,
                                               QMessageBox::Icon icon = QMessageBox::Information);
    static void error(QWidget *parent, const QString &text);

    // Empty text (or an empty list) when cancelled.
    static QString openFileName(QWidget *parent, const QString &caption, const QString &dir, const QString &filter);
    static QStringList openFileNames(QWidget *parent, const QString &caption, const QString &dir,
                                     const QString &filter);
    // selectedFilter, when given, receives the file type chosen (in test mode the first one).
    static QString saveFileName(QWidget *parent, const QString &caption, const QString &dir, const QString &filter,
                                QString *selectedFilter = nullptr);
    // Invalid colour when cancelled.
    static QColor colour(QWidget *parent, const QColor &initial);
    // The print dialog offering pages from to to; false when cancelled. In test mode a queued
    // Ok button confirms it.
    static bool print(QWidget *parent, QPrinter &printer, int fromPage, int toPage);

    // Without a window (a command run from a shell): messages go to standard error, questions
    // take their cautious answer, and errors and warnings are counted.
    static void setConsoleMode(bool on);
    static int consoleProblems();

    // Test hooks. Answers are taken in order; each call records what was asked.
    struct Asked
    {
        QString kind;   // "message", "open", "openMany", "save", "colour", "print"
        QString text;   // message text or caption
        QString filter; // the file types a file dialog offered
        QMessageBox::Icon icon = QMessageBox::NoIcon;
        QMessageBox::StandardButtons buttons;
        QPageLayout paper; // "print": the paper the dialog offers first
    };
    static void queueButton(QMessageBox::StandardButton answer);
    static void queueFile(const QString &path); // one path for open/save, or ";"-joined for openMany
    static void queueColour(const QColor &colour);
    // From now on every prompt is answered from the queue, or with Cancel/empty when the
    // queue is empty, and never shown.
    static void setTestMode(bool on);
    static bool testMode();
    static QList<Asked> takeAsked();
    static void clearQueue();
};
