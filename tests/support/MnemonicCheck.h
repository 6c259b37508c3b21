#pragma once

#include <QAbstractButton>
#include <QGroupBox>
#include <QLabel>
#include <QMap>
#include <QStringList>
#include <QTabWidget>
#include <QWidget>

namespace testsupport {

// The mnemonic letter of a control's text ("&Down" gives "d"), or an empty string.
inline QString mnemonicOf(const QString &text)
{
    for (qsizetype i = 0; i + 1 < text.size(); ++i) {
        if (text.at(i) != u'&')
            continue;
        if (text.at(i + 1) == u'&') {
            ++i;
            continue;
        }
        return text.at(i + 1).toLower();
    }
    return QString();
}

// Each letter used as a mnemonic by more than one visible control of a window, with the texts
// that share it ("d: &Down | A&dd..."); empty when Alt+letter always reaches one control.
inline QStringList mnemonicConflicts(const QWidget *window)
{
    QMap<QString, QStringList> users;
    auto note = [&](const QWidget *w, const QString &text) {
        if (!w->isVisibleTo(window))
            return;
        const QString m = mnemonicOf(text);
        if (!m.isEmpty())
            users[m] << text;
    };
    for (const QLabel *l : window->findChildren<QLabel *>())
        if (l->buddy())
            note(l, l->text());
    for (const QAbstractButton *b : window->findChildren<QAbstractButton *>())
        note(b, b->text());
    for (const QGroupBox *g : window->findChildren<QGroupBox *>())
        if (g->isCheckable())
            note(g, g->title());
    QStringList out;
    for (auto it = users.cbegin(); it != users.cend(); ++it)
        if (it.value().size() > 1)
            out << it.key() + QStringLiteral(": ") + it.value().join(QStringLiteral(" | "));
    return out;
}

} // namespace testsupport
