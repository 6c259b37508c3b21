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

    void writeInt(const QString &section, const QString &name, int value);
    void writeText(const QString &section, const QString &name, const QString &value);
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
    QString resolve(const QString &section, const QString &name) const;
    QVariant raw(const QString &section, const QString &name) const;
    void write(const QString &section, const QString &name, const QVariant &value);

    std::unique_ptr<QSettings> m_store;
    std::function<void(const QString &)> m_onWriteFailure;
    bool m_writeFailureTold = false;
};
