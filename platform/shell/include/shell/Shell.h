#pragma once
// Shell services: open a document, folder, web page or mail link with the desktop's handler
// (xdg-open), and find the user's documents folder (xdg-user-dir DOCUMENTS, else ~/Documents).
//
// Opening never throws and never ends the process: a failure is returned to the caller. The
// handler is given a moment to fail; one still running after that counts as started.
// $BRINDLECAST_OPENER names another handler program (tests use it).

#include <cstdint>
#include <string>

// Show commands; the desktop handler decides how the target is shown.
constexpr int SW_HIDE = 0;
constexpr int SW_SHOWNORMAL = 1;
constexpr int SW_SHOWMAXIMIZED = 3;
constexpr int SW_SHOW = 5;

// Results of ShellExecuteW at or below 32 are failures.
constexpr std::intptr_t SE_ERR_FNF = 2;
constexpr std::intptr_t SE_ERR_ACCESSDENIED = 5;
constexpr std::intptr_t SE_ERR_OOM = 8;
constexpr std::intptr_t SE_ERR_NOASSOC = 31;

// Special folders.
constexpr int CSIDL_PERSONAL = 5;

// Opens file (a path, or a URL such as https: or mailto:) for the operation "open" (or null).
// A relative path is taken from directory when one is given. Returns a value above 32 when the
// handler started, else one of the SE_ERR_ codes. owner and parameters are not used here.
std::intptr_t ShellExecuteW(void* owner, const wchar_t* operation, const wchar_t* file, const wchar_t* parameters,
                            const wchar_t* directory, int showCommand);

namespace shell {

// Opens a path or URL; on failure returns false and, when error is given, a sentence saying why.
bool Open(const std::wstring& target, std::wstring* error = nullptr);

// The user's documents folder, without a trailing separator; never empty when a home folder
// is known.
std::wstring GetDocumentsFolder();

// The folder of a special-folder id (only CSIDL_PERSONAL); empty for others.
std::wstring GetSpecialFolderPath(int csidl);

}  // namespace shell
