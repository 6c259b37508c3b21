#include "dialogs/CPrompt.h"

#include <QColorDialog>
#include <QCoreApplication>
#include <QFileDialog>
#include <QPrintDialog>
#include <QPrinter>
#include <QVariant>
#include <cstdio>

namespace {

struct State
{
    bool testMode = false;
    bool console = false;
    int consoleProblems = 0;
    QList<QVariant> answers;
    QList<CPrompt::Asked> asked;
};

State &state()
{
    static State s;
    return s;
}

void record(const QString &kind, const QString &text, QMessageBox::Icon icon = QMessageBox::NoIcon,
            QMessageBox::StandardButtons buttons = {}, const QString &filter = QString())
{
    state().asked.append({kind, text, filter, icon, buttons, QPageLayout()});
}

QVariant takeAnswer()
{
    return state().answers.isEmpty() ? QVariant() : state().answers.takeFirst();
}

} // namespace

QMessageBox::StandardButton CPrompt::message(QWidget *parent, const QString &text, QMessageBox::StandardButtons buttons,
                                             QMessageBox::Icon icon)
{
    if (state().console) {
        // Nobody to ask: the text goes to standard error and the cautious answer is taken.
        std::fprintf(stderr, "%s\n", qPrintable(text));
        if (icon == QMessageBox::Critical || icon == QMessageBox::Warning)
            ++state().consoleProblems;
        if (buttons.testFlag(QMessageBox::Cancel))
            return QMessageBox::Cancel;
        return buttons.testFlag(QMessageBox::No) ? QMessageBox::No : QMessageBox::Ok;
    }
    if (state().testMode) {
        record(QStringLiteral("message"), text, icon, buttons);
        const QVariant a = takeAnswer();
        if (a.isValid())
            return QMessageBox::StandardButton(a.toInt());
        return buttons.testFlag(QMessageBox::Cancel) ? QMessageBox::Cancel : QMessageBox::Ok;
    }
    QMessageBox box(icon, QCoreApplication::applicationName(), text, buttons, parent);
    // Messages name files, people and departments: their characters are shown, never markup.
    box.setTextFormat(Qt::PlainText);
    return QMessageBox::StandardButton(box.exec());
}

void CPrompt::error(QWidget *parent, const QString &text)
{
    message(parent, text, QMessageBox::Ok, QMessageBox::Critical);
}

QString CPrompt::openFileName(QWidget *parent, const QString &caption, const QString &dir, const QString &filter)
{
    if (state().testMode) {
        record(QStringLiteral("open"), caption, QMessageBox::NoIcon, {}, filter);
        return takeAnswer().toString();
    }
    return QFileDialog::getOpenFileName(parent, caption, dir, filter);
}

QStringList CPrompt::openFileNames(QWidget *parent, const QString &caption, const QString &dir, const QString &filter)
{
    if (state().testMode) {
        record(QStringLiteral("openMany"), caption);
        const QString joined = takeAnswer().toString();
        return joined.isEmpty() ? QStringList() : joined.split(u';');
    }
    return QFileDialog::getOpenFileNames(parent, caption, dir, filter);
}

QString CPrompt::saveFileName(QWidget *parent, const QString &caption, const QString &dir, const QString &filter,
                              QString *selectedFilter)
{
    if (state().testMode) {
        record(QStringLiteral("save"), caption, QMessageBox::NoIcon, {}, filter);
        if (selectedFilter)
            *selectedFilter = filter.section(QStringLiteral(";;"), 0, 0);
        return takeAnswer().toString();
    }
    return QFileDialog::getSaveFileName(parent, caption, dir, filter, selectedFilter);
}

QColor CPrompt::colour(QWidget *parent, const QColor &initial)
{
    if (state().testMode) {
        record(QStringLiteral("colour"), initial.name());
        return takeAnswer().value<QColor>();
    }
    return QColorDialog::getColor(initial, parent);
}

bool CPrompt::print(QWidget *parent, QPrinter &printer, int fromPage, int toPage)
{
    printer.setFromTo(fromPage, toPage);
    if (state().testMode) {
        record(QStringLiteral("print"), QStringLiteral("%1-%2").arg(fromPage).arg(toPage));
        state().asked.last().paper = printer.pageLayout();
        return takeAnswer().toInt() == QMessageBox::Ok;
    }
    QPrintDialog dialog(&printer, parent);
    dialog.setMinMax(fromPage, toPage);
    dialog.setOption(QAbstractPrintDialog::PrintToFile, false);
    dialog.setOption(QAbstractPrintDialog::PrintSelection, false);
    return dialog.exec() == QDialog::Accepted;
}

void CPrompt::queueButton(QMessageBox::StandardButton answer)
{
    state().answers.append(int(answer));
}

void CPrompt::queueFile(const QString &path)
{
    state().answers.append(path);
}

void CPrompt::queueColour(const QColor &colour)
{
    state().answers.append(QVariant::fromValue(colour));
}

void CPrompt::setConsoleMode(bool on)
{
    state().console = on;
    state().consoleProblems = 0;
}

int CPrompt::consoleProblems()
{
    return state().consoleProblems;
}

void CPrompt::setTestMode(bool on)
{
    state().testMode = on;
}

bool CPrompt::testMode()
{
    return state().testMode;
}

QList<CPrompt::Asked> CPrompt::takeAsked()
{
    QList<Asked> out;
    out.swap(state().asked);
    return out;
}

void CPrompt::clearQueue()
{
    state().answers.clear();
    state().asked.clear();
}
