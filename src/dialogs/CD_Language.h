#pragma once

#include <QDialog>
#include <QStringList>
#include <functional>

class CSettings;
class QCheckBox;
class QListWidget;
class QPushButton;

// "Languages": lists the languages found and stores the one chosen as "Language" for the next
// start, with the switch for the start-up warning.
class CD_Language : public QDialog
{
    Q_OBJECT
public:
    // languages in the order they were found; warnIfNone is the current warning switch; inUse,
    // the language of this run, is selected when none is stored.
    CD_Language(const QStringList &languages, CSettings *settings, bool warnIfNone, QWidget *parent = nullptr,
                const QString &inUse = QString());

    bool warnIfNone() const { return m_warn; }
    // True after OK when the chosen language differs from the stored one.
    bool changed() const { return m_changed; }
    QListWidget *list() const { return m_list; }
    QCheckBox *warningBox() const { return m_warningBox; }
    QPushButton *okButton() const { return m_ok; }
    QPushButton *cancelButton() const { return m_cancel; }

    void accept() override;

    int run();
    using TestHook = std::function<int(CD_Language &)>;
    static void setTestHook(TestHook hook);

private:
    CSettings *m_settings;
    QString m_language; // the stored choice, empty when none was stored
    bool m_warn;
    bool m_changed = false;
    QListWidget *m_list;
    QCheckBox *m_warningBox;
    QPushButton *m_ok;
    QPushButton *m_cancel;
};
