#pragma once
// Fills the in-memory presentation host from a PowerPoint 97-2003 file (.ppt).
//
// The file is followed as the application follows it: the current-user record names the last
// edit, the edit chain gives the persist directory, and the document, masters and slides are
// found by persist reference, so incrementally saved files show their latest state. Damaged or
// unknown records are skipped with a warning; a file that cannot be read at all is refused with
// a CPptLoadError.

#include "powerpoint/host/PowerPointHost.h"

#include <cstdint>
#include <stdexcept>
#include <string>
#include <vector>

namespace PowerPoint {
namespace Loader {

class CPptLoadError : public std::runtime_error {
public:
    enum Kind {
        kCannotOpen,       // missing or unreadable file
        kNotPresentation,  // not a compound file, or no presentation stream in it
        kEncrypted,        // protected by a password
        kOlderFormat,      // PowerPoint 95 or 4.0
        kDamaged,          // the presentation's own structure is broken beyond use
    };
    CPptLoadError(Kind kind, const std::wstring& message);
    Kind GetKind() const { return m_kind; }
    // The message, naming the file and the reason.
    const std::wstring& GetMessage() const { return m_message; }

private:
    Kind m_kind;
    std::wstring m_message;
};

struct LoadResult {
    Host::CHostDocumentRef document;
    // Records that were skipped or could not be understood; the rest loaded.
    std::vector<std::wstring> warnings;
    bool usedEditChain = true;  // false: the edit chain was damaged and the stream was walked
};

struct LoadOptions {
    std::wstring version = L"11.0";  // Application.Version of the new document
    // The date that date fields show (days since 1970-01-01, UTC); negative: today.
    long long fieldDate = -1;
    // Pictures and sounds are copied into each shape that shows them; copies beyond this many
    // bytes in all are left out (with a warning), so that one picture named by many shapes of a
    // damaged file cannot exhaust memory.
    std::uint64_t maxCopiedBytes = 1ull << 30;
};

// `path` is UTF-8. Throws CPptLoadError.
LoadResult LoadPresentation(const std::string& path, const LoadOptions& options = LoadOptions());
// A file image held in memory; `fileName` names it in Presentation.Name and in messages.
LoadResult LoadPresentationFromMemory(std::vector<std::uint8_t> bytes, const std::wstring& fileName,
                                      const LoadOptions& options = LoadOptions());

}  // namespace Loader
}  // namespace PowerPoint
