#include "config/CRLang.h"

#include "app/CSettings.h"
#include "app/CStringTable.h"
#include "config/CLatinTranslator.h"
#include "config/ZvLanguageExports.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>
#include <climits>
#include <dlfcn.h>

namespace {

void *openLibrary(const QString &path, int mode)
{
    return dlopen(QFile::encodeName(path).constData(), mode | RTLD_LOCAL);
}

// The name a language library reports, or a null string for any other file.
QString languageOf(void *handle)
{
    auto get = reinterpret_cast<ZvGetLanguageFn>(dlsym(handle, ZV_EXPORT_LANGUAGE));
    if (!get)
        return QString();
    const char *name = get();
    // Copied at once: the text belongs to the library, which is unloaded next.
    return name ? QString::fromUtf8(name) : QString();
}

} // namespace

CRLang::CRLang() = default;

CRLang::~CRLang()
{
    unload();
}

void CRLang::Load(const QString &programFolder, const CSettings *settings, const QString &unset)
{
    unload();
    m_folder = programFolder;
    m_entries.clear();
    m_selected = -1;
    const QString key = QStringLiteral("Language");
    if (!unset.isEmpty() && (!settings || !settings->contains(QStringLiteral("Settings"), key)))
        m_languageSetting = unset;
    else
        m_languageSetting = settings ? settings->readText(QStringLiteral("Settings"), key) : QStringLiteral("Srpski");

    // Name order: the directory's own order differs between file systems, and the rule that a
    // later match wins has to give the same library on every machine.
    const QStringList files = QDir(programFolder).entryList({QStringLiteral("*.so")}, QDir::Files, QDir::Name);
    for (const QString &file : files) {
        if (m_entries.size() >= kMaxEntries)
            break;
        void *handle = openLibrary(QDir(programFolder).filePath(file), RTLD_LAZY);
        if (!handle)
            continue;
        const QString language = languageOf(handle);
        dlclose(handle);
        // The built-in language is never replaced by a library of the same name.
        if (language.isNull() || language == kBuiltIn)
            continue;
        if (language == m_languageSetting)
            m_selected = int(m_entries.size());
        m_entries.append({file, language});
    }
    if (m_selected < 0 || isBuiltInChosen())
        return;
    m_module = openLibrary(QDir(programFolder).filePath(m_entries.at(m_selected).fileName), RTLD_NOW);
    // Gone or broken since it was listed: English, as if none had matched.
    if (!m_module || languageOf(m_module) != m_languageSetting) {
        if (m_module)
            dlclose(m_module);
        m_module = nullptr;
        m_selected = -1;
    }
}

QString CRLang::demoDefault(const QLocale &desktop)
{
    return desktop.language() == QLocale::Serbian ? QStringLiteral("Srpski") : kBuiltIn;
}

QStringList CRLang::languageNames() const
{
    QStringList names;
    for (const Entry &e : m_entries)
        names.append(e.language);
    return names;
}

void CRLang::apply()
{
    if (!m_module)
        return;
    auto get = reinterpret_cast<ZvGetTranslationsFn>(dlsym(m_module, ZV_EXPORT_TRANSLATIONS));
    auto part = [get](int which, unsigned long *size) -> const uchar * {
        *size = 0;
        return get ? reinterpret_cast<const uchar *>(get(which, size)) : nullptr;
    };

    // The program's texts: every built-in id the library translates replaces the English one;
    // an id it lacks keeps its English text, so no control is ever left empty.
    unsigned long size = 0;
    const uchar *texts = part(ZvProgramTexts, &size);
    QHash<QString, QString> overrides;
    QTranslator translator;
    if (texts && size > 0 && size <= unsigned(INT_MAX) && translator.load(texts, int(size))) {
        for (const QString &key : CStringTable::builtInKeys()) {
            const QString t = translator.translate("", key.toUtf8().constData());
            if (!t.isEmpty())
                overrides.insert(key, t);
        }
    }
    CStringTable::setOverrides(overrides);

    if (!QCoreApplication::instance())
        return;
    // Qt's own texts: the system's translations of Qt for the library's locale when installed,
    // and the library's own on top (installed last, so asked first).
    auto getLocale = reinterpret_cast<ZvGetLocaleFn>(dlsym(m_module, ZV_EXPORT_LOCALE));
    if (const char *locale = getLocale ? getLocale() : nullptr) {
        const QLocale qtLocale(QString::fromUtf8(locale));
        std::unique_ptr<QTranslator> system = std::make_unique<QTranslator>();
        if (system->load(qtLocale, QStringLiteral("qtbase"), QStringLiteral("_"),
                         QLibraryInfo::path(QLibraryInfo::TranslationsPath))) {
            // Qt's Serbian is Cyrillic: a Latin library gets it in Latin letters.
            if (qtLocale.language() == QLocale::Serbian && qtLocale.script() == QLocale::LatinScript)
                system = std::make_unique<CLatinTranslator>(std::move(system));
            QCoreApplication::installTranslator(system.get());
            m_qtSystem = std::move(system);
        }
    }
    const uchar *qt = part(ZvQtTexts, &size);
    auto own = std::make_unique<QTranslator>();
    if (qt && size > 0 && size <= unsigned(INT_MAX) && own->load(qt, int(size))) {
        QCoreApplication::installTranslator(own.get());
        m_qtOwn = std::move(own);
    }
}

void CRLang::unload()
{
    // The translators read the library's memory: they go before the library does.
    m_qtOwn.reset();
    m_qtSystem.reset();
    if (m_module) {
        CStringTable::setOverrides({});
        dlclose(m_module);
        m_module = nullptr;
    }
}
