#pragma once

// What a language library exports. It is a plain shared object (no Qt inside): the program
// asks its name, then takes its compiled translations and keeps the library loaded while it
// uses them.
extern "C" {
// The language's display name, UTF-8 ("Srpski"); valid while the library is loaded.
typedef const char *(*ZvGetLanguageFn)(void);
// Compiled Qt translations (.qm data) of one part: 0 the program's texts by id, 1 the texts
// of Qt's own buttons and dialogs. Returns null and a size of 0 for a part it lacks.
typedef const unsigned char *(*ZvGetTranslationsFn)(int part, unsigned long *size);
// The locale whose translations of Qt itself the system may ship ("sr_Latn"); may be absent.
typedef const char *(*ZvGetLocaleFn)(void);
}

#define ZV_EXPORT_LANGUAGE "GetZVLanguage"
#define ZV_EXPORT_TRANSLATIONS "GetZVTranslations"
#define ZV_EXPORT_LOCALE "GetZVLocale"

enum ZvTranslationPart
{
    ZvProgramTexts = 0,
    ZvQtTexts = 1
};
