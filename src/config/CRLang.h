#pragma once

#include <QList>
#include <QString>
#include <memory>

class CSettings;
class QLocale;
class QTranslator;

// The language loader: lists the language libraries of the program folder and keeps the one
// named by "Language" loaded as the source of every user-interface text for the run.
class CRLang
{
public:
    struct Entry
    {
        QString fileName; // bare file name in the program folder
        QString language; // what the library reports
    };
    static constexpr int kMaxEntries = 100;
    // The built-in texts, offered beside the libraries; chosen, no library is loaded.
    static inline const QString kBuiltIn = QStringLiteral("English");
    // The demo's language until the user chooses one: the desktop's when a library of it ships,
    // else English.
    static QString demoDefault(const QLocale &desktop);

    CRLang();
    ~CRLang();
    CRLang(const CRLang &) = delete;
    CRLang &operator=(const CRLang &) = delete;

    // Lists the libraries of programFolder ("*.so", in name order) and keeps the last one whose
    // name equals "Language" exactly. Files that do not load or lack the name export are
    // skipped without a word. settings may be null (the default language then); unset, when
    // given, is the language while the settings do not name one (the demo's, which follows the
    // desktop).
    void Load(const QString &programFolder, const CSettings *settings, const QString &unset = QString());

    int entryCount() const { return int(m_entries.size()); }
    const QList<Entry> &entries() const { return m_entries; }
    QStringList languageNames() const;
    int selectedIndex() const { return m_selected; }
    bool hasResourceModule() const { return m_module != nullptr; }
    bool isBuiltInChosen() const { return m_languageSetting == kBuiltIn; }

    // Makes the selected library the source of every text: its translations replace the
    // built-in entries they cover (the rest stay English), and Qt's own buttons and dialogs
    // follow through the library's and the system's Qt translations. No effect without one.
    void apply();
    // Undoes apply() and unloads the library (also done on destruction).
    void unload();

private:
    QString m_folder;
    QString m_languageSetting;
    QList<Entry> m_entries;
    int m_selected = -1;
    void *m_module = nullptr;
    std::unique_ptr<QTranslator> m_qtOwn;
    std::unique_ptr<QTranslator> m_qtSystem;
};
