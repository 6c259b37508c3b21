// One language library: its name, its locale and its compiled translations, embedded as
// arrays by the build (ZV_LANGUAGE_NAME, ZV_LANGUAGE_LOCALE and the generated data file).
#include "config/ZvLanguageExports.h"

#include ZV_LANGUAGE_DATA

extern "C" {

__attribute__((visibility("default"))) const char *GetZVLanguage(void)
{
    return ZV_LANGUAGE_NAME;
}

__attribute__((visibility("default"))) const char *GetZVLocale(void)
{
    return ZV_LANGUAGE_LOCALE;
}

__attribute__((visibility("default"))) const unsigned char *GetZVTranslations(int part, unsigned long *size)
{
    const unsigned char *data = nullptr;
    unsigned long length = 0;
    if (part == ZvProgramTexts) {
        data = zvProgramTexts;
        length = sizeof(zvProgramTexts) - 1;
    } else if (part == ZvQtTexts) {
        data = zvQtTexts;
        length = sizeof(zvQtTexts) - 1;
    }
    if (size)
        *size = length;
    return length ? data : nullptr;
}
}
