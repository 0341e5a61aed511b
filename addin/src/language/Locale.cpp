// The user's interface language id, from the POSIX locale variables.

#include "addin/language/LanguageManager.h"

#include <cstdlib>
#include <cstring>

namespace addin {

namespace {

struct LanguageCode {
    const char* code;
    LANGID primary;  // the primary language part of the id
};

// ISO 639-1 codes and their primary language numbers.
const LanguageCode kLanguages[] = {
    {"ar", 0x01}, {"bg", 0x02}, {"ca", 0x03}, {"zh", 0x04}, {"cs", 0x05}, {"da", 0x06}, {"de", 0x07}, {"el", 0x08},
    {"en", 0x09}, {"es", 0x0A}, {"fi", 0x0B}, {"fr", 0x0C}, {"he", 0x0D}, {"hu", 0x0E}, {"is", 0x0F}, {"it", 0x10},
    {"ja", 0x11}, {"ko", 0x12}, {"nl", 0x13}, {"nb", 0x14}, {"no", 0x14}, {"pl", 0x15}, {"pt", 0x16}, {"rm", 0x17},
    {"ro", 0x18}, {"ru", 0x19}, {"hr", 0x1A}, {"sk", 0x1B}, {"sq", 0x1C}, {"sv", 0x1D}, {"th", 0x1E}, {"tr", 0x1F},
    {"ur", 0x20}, {"id", 0x21}, {"uk", 0x22}, {"be", 0x23}, {"sl", 0x24}, {"et", 0x25}, {"lv", 0x26}, {"lt", 0x27},
    {"fa", 0x29}, {"vi", 0x2A}, {"hy", 0x2B}, {"az", 0x2C}, {"eu", 0x2D}, {"mk", 0x2F}, {"af", 0x36}, {"ka", 0x37},
    {"fo", 0x38}, {"hi", 0x39}, {"mt", 0x3A}, {"ga", 0x3C}, {"ms", 0x3E}, {"kk", 0x3F}, {"sw", 0x41}, {"bn", 0x45},
    {"ta", 0x49}, {"cy", 0x52}, {"gl", 0x56},
};

struct LocaleId {
    const char* locale;
    LANGID id;
};

// Language and country pairs whose id is not the language's default one, and languages whose
// usual id is not built from the default sub-language.
const LocaleId kLocales[] = {
    {"en_GB", 0x0809}, {"en_AU", 0x0C09}, {"en_CA", 0x1009}, {"en_NZ", 0x1409}, {"en_IE", 0x1809}, {"en_ZA", 0x1C09},
    {"en_IN", 0x4009}, {"en_SG", 0x4809}, {"de_CH", 0x0807}, {"de_AT", 0x0C07}, {"de_LU", 0x1007}, {"de_LI", 0x1407},
    {"fr_BE", 0x080C}, {"fr_CA", 0x0C0C}, {"fr_CH", 0x100C}, {"fr_LU", 0x140C}, {"es", 0x0C0A},    {"es_ES", 0x0C0A},
    {"es_MX", 0x080A}, {"es_AR", 0x2C0A}, {"es_CO", 0x240A}, {"es_CL", 0x340A}, {"es_US", 0x540A}, {"it_CH", 0x0810},
    {"nl_BE", 0x0813}, {"pt_BR", 0x0416}, {"pt_PT", 0x0816}, {"pt", 0x0816},    {"zh_CN", 0x0804}, {"zh_TW", 0x0404},
    {"zh_HK", 0x0C04}, {"zh_SG", 0x1004}, {"zh", 0x0804},    {"sv_FI", 0x081D}, {"nn", 0x0814},    {"nn_NO", 0x0814},
    {"ar_EG", 0x0C01}, {"ar_SA", 0x0401}, {"ar_AE", 0x3801}, {"ru_UA", 0x0819},
};

constexpr LANGID MakeLangId(LANGID primary, LANGID sub) { return static_cast<LANGID>((sub << 10) | primary); }

}  // namespace

LANGID LanguageIdFromLocale(const std::string& locale) {
    // "ll[_CC][.encoding][@modifier]"; '-' is taken like '_'.
    std::string name = locale.substr(0, locale.find_first_of(".@"));
    std::string language;
    std::string country;
    const std::size_t cut = name.find_first_of("_-");
    language = name.substr(0, cut);
    if (cut != std::string::npos) country = name.substr(cut + 1);
    if (language.empty() || language.size() > 3 || country.size() > 3) return 0;
    for (char& c : language)
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    for (char& c : country)
        if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');

    const std::string full = country.empty() ? language : language + "_" + country;
    for (const LocaleId& entry : kLocales)
        if (full == entry.locale) return entry.id;
    // An unlisted country of a known language gets the language's main id; so does a
    // language without a listed default.
    for (const LocaleId& entry : kLocales)
        if (language == entry.locale) return entry.id;
    for (const LanguageCode& entry : kLanguages)
        if (language == entry.code) return MakeLangId(entry.primary, 1);
    return 0;
}

LANGID GetUserDefaultLangID() {
    for (const char* variable : {"LC_ALL", "LC_MESSAGES", "LANG"}) {
        const char* value = std::getenv(variable);
        if (!value || !*value) continue;
        const LANGID id = LanguageIdFromLocale(value);
        return id != 0 ? id : kUsEnglishLanguageId;
    }
    return kUsEnglishLanguageId;
}

}  // namespace addin
