#include "app/CSettings.h"

#include "db/RefreshInterval.h"
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSettings>

namespace {

// Names may hold any text (panel titles): the characters QSettings reads as group separators
// are percent-encoded so that one name stays one value.
QString encodeName(const QString &name)
{
    QString out;
    out.reserve(name.size());
    for (const QChar c : name) {
        if (c == u'/' || c == u'\\' || c == u'%')
            out += QStringLiteral("%%%1").arg(c.unicode(), 2, 16, QLatin1Char('0'));
        else
            out += c;
    }
    return out;
}

bool matchesPattern(const char *pattern, const QString &name)
{
    const QString p = QString::fromLatin1(pattern);
    if (!p.endsWith(QLatin1String("%d")))
        return p.compare(name, Qt::CaseInsensitive) == 0;
    const QString stem = p.left(p.size() - 2);
    if (!name.startsWith(stem, Qt::CaseInsensitive) || name.size() == stem.size())
        return false;
    for (qsizetype i = stem.size(); i < name.size(); ++i)
        if (!name.at(i).isDigit())
            return false;
    return true;
}

} // namespace

const QList<CSettings::Entry> &CSettings::table()
{
    using T = Type;
    static const QList<Entry> entries = {
        {"Settings", "Connection", T::Text, QString()},
        {"Settings", "Refresh", T::Int, RefreshInterval::kDefaultSeconds},
        {"Settings", "KRVersion", T::Int, QVariant()},
        {"Settings", "ExpandLatest", T::Int, 1},
        {"Settings", "NameFormat", T::Int, 0},
        {"Settings", "LangWarning", T::Int, 1},
        {"Settings", "AutoShowPresences", T::Int, 0},
        {"Settings", "AutoShowGuests", T::Int, 0},
        {"Settings", "AutoShowMandatory", T::Int, 0},
        {"Settings", "Language", T::Text, QStringLiteral("Srpski")},
        {"Settings", "NewPanelSelection", T::Int, 0},
        {"Settings", "ZVPlacement", T::Bytes, QVariant()},
        // A wall display as the last run left it: full screen with the panel it showed, and the
        // legend.
        {"Settings", "FullScreen", T::Int, 0},
        {"Settings", "FullScreenPanel", T::Text, QString()},
        {"Settings", "Legend", T::Int, 0},
        // Read from the system file: the values users cannot change (see the header), and a
        // file holding the password of the connection for desks without a keyring.
        {"Settings", "Locked", T::Text, QString()},
        {"Settings", "PasswordFile", T::Text, QString()},
        {"AutoLoad", "Count", T::Int, 0},
        {"AutoLoad", "File%d", T::Text, QString()},
        {"Report", "Sort", T::Int, 0},
        {"Report", "Unvisible", T::Int, 0},
        {"Report", "LastActAll", T::Int, 0},
        {"Report", "GroupAll", T::Int, 0},
        {"Report", "DepAll", T::Int, 0},
        {"Report", "ActOrGroup", T::Int, 0},
        {"Report", "Calendar", T::Int, 0},
        {"Report", "InvertAct", T::Int, 0},
        {"Report", "InvertGroup", T::Int, 0},
        {"Report", "SelAct", T::Int, -1},
        {"Report", "SelGroup", T::Int, -1},
        {"Report", "SelDep", T::Int, 0},
        {"Report", "SelDep%d", T::Int, 0},
        // The activities that mean "on the premises", as comma-separated identifiers.
        {"RollCall", "Activities", T::Text, QString()},
        // Sharing with phones: the port, and the addresses listened on, comma-separated
        // (empty: the private IPv4 addresses of the network cards); other names phones reach
        // the computer by (a reverse proxy's), comma-separated; the site's certificate and key
        // files for HTTPS (both empty: plain HTTP).
        {"RollCall", "SharePort", T::Int, 8765},
        {"RollCall", "ShareAddresses", T::Text, QString()},
        {"RollCall", "ShareNames", T::Text, QString()},
        {"RollCall", "ShareCertificate", T::Text, QString()},
        {"RollCall", "ShareKey", T::Text, QString()},
        // One placement record per panel title.
        {"Placement", "%s", T::Bytes, QVariant()},
        // One zoom per panel file, by its path: a percentage, 0 for Fit to screen.
        {"Zoom", "%s", T::Int, 100},
    };
    return entries;
}

const CSettings::Entry *CSettings::find(const QString &section, const QString &name)
{
    for (const Entry &e : table()) {
        if (section.compare(QLatin1String(e.section), Qt::CaseInsensitive) != 0)
            continue;
        if (qstrcmp(e.name, "%s") == 0 || matchesPattern(e.name, name))
            return &e;
    }
    return nullptr;
}

CSettings::CSettings(const QString &organisation, const QString &application)
    : m_store(std::make_unique<QSettings>(QSettings::IniFormat, QSettings::UserScope, organisation, application)),
      m_system(std::make_unique<QSettings>(QSettings::IniFormat, QSettings::SystemScope, organisation, application))
{
    protectFile();
    readLocks();
}

CSettings::CSettings(const QString &iniPath) : m_store(std::make_unique<QSettings>(iniPath, QSettings::IniFormat))
{
    protectFile();
}

CSettings::CSettings(const Files &files) : m_store(std::make_unique<QSettings>(files.user, QSettings::IniFormat))
{
    if (!files.system.isEmpty())
        m_system = std::make_unique<QSettings>(files.system, QSettings::IniFormat);
    protectFile();
    readLocks();
}

QString CSettings::systemFileFor(const QString &organisation, const QString &application)
{
    return QSettings(QSettings::IniFormat, QSettings::SystemScope, organisation, application).fileName();
}

void CSettings::readLocks()
{
    if (!m_system)
        return;
    // "Locked=Connection,Refresh" reads as a list, a single name as text.
    QStringList entries =
        m_system->value(resolve(*m_system, QStringLiteral("Settings"), QStringLiteral("Locked"))).toStringList();
    for (QString entry : entries) {
        entry = entry.trimmed().toLower();
        if (entry.isEmpty())
            continue;
        m_locked << (entry.contains(u'/') ? entry : QStringLiteral("settings/") + entry);
    }
}

bool CSettings::isLocked(const QString &section, const QString &name) const
{
    const QString s = section.toLower();
    return m_locked.contains(s + u'/' + name.toLower()) || m_locked.contains(s + QStringLiteral("/*"));
}

CSettings::~CSettings()
{
    m_store->sync();
    protectFile();
}

void CSettings::protectFile() const
{
    // The store holds the connection string with its password: owner only. The file is made
    // before anything is written, so that it never exists readable by others; rewriting it
    // keeps the permissions of the file it replaces.
    const QString path = m_store->fileName();
    if (path.isEmpty())
        return;
    constexpr QFile::Permissions ownerOnly = QFile::ReadOwner | QFile::WriteOwner;
    QFile file(path);
    if (!file.exists()) {
        QDir().mkpath(QFileInfo(path).absolutePath());
        if (file.open(QIODevice::WriteOnly | QIODevice::NewOnly, ownerOnly))
            file.close();
        return;
    }
    if ((file.permissions() & ~(ownerOnly | QFile::ReadUser | QFile::WriteUser)) != 0)
        file.setPermissions(ownerOnly);
}

QString CSettings::resolve(QSettings &store, const QString &section, const QString &name)
{
    // The stored spelling wins, so that one value has one name whatever the case used.
    QString group;
    for (const QString &g : store.childGroups())
        if (g.compare(section, Qt::CaseInsensitive) == 0)
            group = g;
    if (group.isEmpty())
        group = section;
    const QString encoded = encodeName(name);
    store.beginGroup(group);
    const QStringList keys = store.childKeys();
    store.endGroup();
    for (const QString &k : keys)
        if (k.compare(encoded, Qt::CaseInsensitive) == 0)
            return group + u'/' + k;
    return group + u'/' + encoded;
}

QVariant CSettings::raw(const QString &section, const QString &name) const
{
    QVariant v;
    if (!isLocked(section, name))
        v = m_store->value(resolve(section, name));
    if (!v.isValid() && m_system)
        v = m_system->value(resolve(*m_system, section, name));
    // A value written by hand with a comma in it (a connection string's "Server=host,1433")
    // reads as a list: it is one text.
    if (v.typeId() == QMetaType::QStringList)
        return v.toStringList().join(u',');
    return v;
}

bool CSettings::contains(const QString &section, const QString &name) const
{
    return raw(section, name).isValid();
}

int CSettings::readInt(const QString &section, const QString &name) const
{
    const Entry *e = find(section, name);
    return readInt(section, name, e && e->defaultValue.isValid() ? e->defaultValue.toInt() : 0);
}

int CSettings::readInt(const QString &section, const QString &name, int defaultValue) const
{
    const QVariant v = raw(section, name);
    if (!v.isValid())
        return defaultValue;
    bool ok = false;
    const int i = v.toInt(&ok);
    return ok ? i : defaultValue;
}

QString CSettings::readText(const QString &section, const QString &name) const
{
    const Entry *e = find(section, name);
    return readText(section, name, e && e->defaultValue.isValid() ? e->defaultValue.toString() : QString());
}

QString CSettings::readText(const QString &section, const QString &name, const QString &defaultValue) const
{
    const QVariant v = raw(section, name);
    return v.isValid() ? v.toString() : defaultValue;
}

QByteArray CSettings::readBytes(const QString &section, const QString &name) const
{
    return raw(section, name).toByteArray();
}

void CSettings::write(const QString &section, const QString &name, const QVariant &value)
{
    // Set by the administrator: a user value would be ignored, so none is written.
    if (isLocked(section, name))
        return;
    m_store->setValue(resolve(section, name), value);
}

void CSettings::writeInt(const QString &section, const QString &name, int value)
{
    write(section, name, value);
}

void CSettings::writeIntIfChanged(const QString &section, const QString &name, int value)
{
    if (readInt(section, name) != value)
        write(section, name, value);
}

void CSettings::writeText(const QString &section, const QString &name, const QString &value)
{
    write(section, name, value);
}

void CSettings::writeTextIfChanged(const QString &section, const QString &name, const QString &value)
{
    if (readText(section, name) != value)
        write(section, name, value);
}

void CSettings::writeBytes(const QString &section, const QString &name, const QByteArray &value)
{
    write(section, name, value);
}

void CSettings::remove(const QString &section, const QString &name)
{
    if (!isLocked(section, name))
        m_store->remove(resolve(section, name));
}

bool CSettings::sync()
{
    m_store->sync();
    protectFile();
    if (m_store->status() != QSettings::AccessError)
        return true;
    if (!m_writeFailureTold && m_onWriteFailure) {
        m_writeFailureTold = true;
        m_onWriteFailure(m_store->fileName());
    }
    return false;
}

void CSettings::setWriteFailureHandler(std::function<void(const QString &)> handler)
{
    m_onWriteFailure = std::move(handler);
}

QStringList CSettings::names(const QString &section) const
{
    QStringList out;
    const auto collect = [&](QSettings &store) {
        for (const QString &g : store.childGroups()) {
            if (g.compare(section, Qt::CaseInsensitive) != 0)
                continue;
            store.beginGroup(g);
            for (const QString &k : store.childKeys())
                if (!out.contains(k, Qt::CaseInsensitive))
                    out << k;
            store.endGroup();
        }
    };
    if (!isLocked(section, QStringLiteral("*")))
        collect(*m_store);
    if (m_system)
        collect(*m_system);
    return out;
}

QString CSettings::fileName() const
{
    return m_store->fileName();
}
