#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <QVariant>
#include <functional>
#include <memory>

class QSettings;

// The per-user settings store. Every value the program keeps is listed in one table with its
// section, type and default; value names compare without regard to case, so "ZVPLacement"
// reads what was written as "ZVPlacement". Sections: "Settings", "AutoLoad", "Report",
// "Placement", "RollCall", "Zoom".
//
// Beneath the user's file lies the system file an administrator presets for every user
// (/etc/xdg/Orvane/Zorvik.ini, or the first folder of XDG_CONFIG_DIRS that has one): a value the
// user never set is read from there. The system file's "Settings" "Locked" list names values
// users cannot change: those are read from the system file only, and writes to them are
// dropped. An entry is a value name of "Settings" ("Refresh"), "Section/Name" ("Report/Sort"),
// or "Section/*" for a whole section.
class CSettings
{
public:
    enum class Type
    {
        Int,
        Text,
        Bytes
    };
    struct Entry
    {
        const char *section;
        const char *name; // a trailing "%d" stands for a number (File0, File1, ...)
        Type type;
        QVariant defaultValue; // null: no default
    };

    // The real store (an INI file in the XDG configuration folder) for organisation and
    // application name, e.g. ("Orvane", "Zorvik").
    CSettings(const QString &organisation, const QString &application);
    // A store in a file of its own (tests, the demo).
    explicit CSettings(const QString &iniPath);
    // A store in a file of its own over a system file (--settings; tests of the system file).
    struct Files
    {
        QString user;
        QString system;
    };
    explicit CSettings(const Files &files);
    ~CSettings();

    static const QList<Entry> &table();
    static const Entry *find(const QString &section, const QString &name);

    // Typed reads; the default comes from the table unless given.
    int readInt(const QString &section, const QString &name) const;
    int readInt(const QString &section, const QString &name, int defaultValue) const;
    QString readText(const QString &section, const QString &name) const;
    QString readText(const QString &section, const QString &name, const QString &defaultValue) const;
    QByteArray readBytes(const QString &section, const QString &name) const;
    bool contains(const QString &section, const QString &name) const;
    // The names stored in a section, as stored (a settings lookup per possible name would
    // take for ever for a nonsense count).
    QStringList names(const QString &section) const;

    // True when the system file locks the value.
    bool isLocked(const QString &section, const QString &name) const;
    // The system file of organisation and application, where Qt looks for it first.
    static QString systemFileFor(const QString &organisation, const QString &application);

    void writeInt(const QString &section, const QString &name, int value);
    // Writes value only when it differs from what is read now (the user's value, the system
    // file's or the default), so that a value the user never changed keeps following the
    // system file.
    void writeIntIfChanged(const QString &section, const QString &name, int value);
    void writeText(const QString &section, const QString &name, const QString &value);
    void writeTextIfChanged(const QString &section, const QString &name, const QString &value);
    void writeBytes(const QString &section, const QString &name, const QByteArray &value);
    void remove(const QString &section, const QString &name);

    // Writes what changed; false when the store cannot be written (a folder without write
    // permission, a full disk), and then, the first time only, tells the handler.
    bool sync();
    QString fileName() const;
    // Told once with the settings file when a change cannot be saved.
    void setWriteFailureHandler(std::function<void(const QString &fileName)> handler);

private:
    void protectFile() const;
    void readLocks();
    static QString resolve(QSettings &store, const QString &section, const QString &name);
    QString resolve(const QString &section, const QString &name) const { return resolve(*m_store, section, name); }
    QVariant raw(const QString &section, const QString &name) const;
    void write(const QString &section, const QString &name, const QVariant &value);

    std::unique_ptr<QSettings> m_store;
    std::unique_ptr<QSettings> m_system; // null: no system file beneath
    QStringList m_locked;                // "section/name" or "section/*", lower case
    std::function<void(const QString &)> m_onWriteFailure;
    bool m_writeFailureTold = false;
};
