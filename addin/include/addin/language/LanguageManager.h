#pragma once
// The process-wide interface language: every text the add-in shows is looked up here by
// message name. The manager reads every ".lng" file of the installation's "lng" folder,
// chooses one (the saved id, else the user's language, else the file marked as default) and
// finds resources (string table, templates, pictures) in that language, falling back to US
// English.

#include "addin/language/Language.h"

#include <cstddef>
#include <cstdint>
#include <map>
#include <string>
#include <vector>

namespace addin {

class CSettings;

// Resource types, named as the resource folders name them.
constexpr const wchar_t* RT_RCDATA = L"RCDATA";
constexpr const wchar_t* RT_BITMAP = L"BITMAP";

class CLanguageManager : public genswf::CRefCounted {
public:
    // Bounds on what a language folder or resource can make us read.
    static constexpr std::size_t kMaxLanguageFiles = 256;
    static constexpr std::size_t kMaxResourceBytes = 8 * 1024 * 1024;

    // settings may be null: no saved id, no folder.
    explicit CLanguageManager(CSettings* settings);

    // Reads the language folder and chooses the current language; saves its id.
    void LoadLanguages();

    bool HasMessage(const std::wstring& name) const;
    bool GetMessage(const std::wstring& name, std::wstring& text) const;
    // The text, or an empty one when the current language lacks it.
    std::wstring GetMessageString(const std::wstring& name) const;
    // The text used as a format for two integers (see FormatIntegerMessage).
    std::wstring FormatMessageString(const std::wstring& name, int first, int second) const;

    LANGID GetLanguageId() const { return languageId; }
    const CLanguage* GetCurrentLanguage() const { return current.Get(); }
    const std::vector<genswf::CRefPtr<CLanguage>>& GetLanguages() const { return languages; }

    // Resources: "<installation folder>/res/<language id>/<type>/<name>.<extension>" and the
    // string table "<installation folder>/res/<language id>/strings.txt", looked up in the
    // current language and then in US English. FindResource gives the file's path or empty.
    std::wstring FindResource(const std::wstring& type, unsigned name) const;
    bool LoadResource(const std::wstring& type, unsigned name, std::vector<std::uint8_t>& bytes) const;
    long long SizeofResource(const std::wstring& type, unsigned name) const;  // -1 when absent
    std::wstring LoadString(unsigned id) const;                               // empty when absent

    // The folder FindResource searches; by default the installation's "res" folder.
    void SetResourceFolder(const std::wstring& folder) {
        resourceFolder = folder;
        stringTables.clear();
    }
    std::wstring GetResourceFolder() const;

private:
    std::wstring FindResourceIn(LANGID id, const std::wstring& type, unsigned name) const;
    const std::map<unsigned, std::wstring>& StringTable(LANGID id) const;

    std::vector<genswf::CRefPtr<CLanguage>> languages;
    CSettings* settings;
    genswf::CRefPtr<CLanguage> current;
    LANGID languageId;

    std::wstring resourceFolder;
    mutable std::map<LANGID, std::map<unsigned, std::wstring>> stringTables;
};

// The process-wide manager. Never null: before a control installs one, an empty manager
// answers every lookup with an empty text.
CLanguageManager* GetLanguageManager();
// Makes manager the process-wide one, releasing the previous one (null restores the empty one).
void SetLanguageManager(const genswf::CRefPtr<CLanguageManager>& manager);

// The user's default interface language from the locale ($LC_ALL, $LC_MESSAGES, $LANG, first
// set wins): "de_DE" gives 1031, "en_US" 1033; an unknown or "C" locale gives 1033.
LANGID GetUserDefaultLangID();
// The id of a locale name such as "pt_BR.UTF-8" or "fr"; 0 when the language is unknown.
LANGID LanguageIdFromLocale(const std::string& locale);

// printf-style expansion of a language text with two integers, safe for any text: "%d", "%i"
// and "%u" (with optional flags "-+ 0", a width up to 99 and an 'l' or 'h') take the first and
// then the second number, "%%" gives '%', and every other '%' stays as written, as does any
// directive after the second.
std::wstring FormatIntegerMessage(const std::wstring& format, int first, int second);

}  // namespace addin
