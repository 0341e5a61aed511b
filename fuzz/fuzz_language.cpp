// The add-in's language files: a ".lng" file parsed, then each message used as the add-in uses
// it (looked up, and expanded as a format for two numbers) and each language id read back.

#include <cstddef>
#include <cstdint>
#include <string>

#include "addin/language/Language.h"
#include "addin/language/LanguageManager.h"

using namespace addin;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    CLanguage language;
    language.Parse(data, size);
    if (language.IsValid() && language.GetLanguageIds().empty()) __builtin_trap();
    for (const auto& message : language.GetMessages()) {
        std::wstring text;
        if (!language.GetMessage(message.first, text) || text != message.second) __builtin_trap();
        (void)FormatIntegerMessage(text, -2147483647 - 1, 42);
        (void)UnquoteLanguageValue(text);
        LANGID id = 0;
        (void)ParseLanguageId(text, id);
    }
    for (LANGID id : language.GetLanguageIds())
        if (!language.SupportsLanguageId(id)) __builtin_trap();
    return 0;
}
