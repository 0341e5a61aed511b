#pragma once
// System fonts by face name: the whole standalone TrueType/OpenType data of the face the system
// would draw for a name, weight and slant (what the movie embeds and the layout measures).

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace fonts {

struct FontFileData {
    std::vector<std::uint8_t> bytes;  // a standalone sfnt, even when the face lives in a collection
    std::string sourcePath;           // the file fontconfig chose (UTF-8)
    int faceIndex = 0;                // the face's index inside that file
    std::wstring familyName;          // as the file names it
    bool bold = false;                // the face's own style, not the request
    bool italic = false;
};

// The names users expect to work on any machine, mapped to their metric equivalents
// ("Arial" -> "Liberation Sans" ...); other names come back unchanged.
std::wstring SubstituteFaceName(const std::wstring& faceName);

// The best system face with glyph outlines for the request; null when the system has none.
// Results are cached for the life of the process and shared; safe from any thread.
std::shared_ptr<const FontFileData> FindSystemFont(const std::wstring& faceName, bool bold, bool italic);

// GetFontData's counterpart: the whole font into `out`; false (and `out` empty) when none.
bool GetFontData(const std::wstring& faceName, bool bold, bool italic, std::vector<std::uint8_t>& out);

// --- sfnt containers ---------------------------------------------------------------------------

bool IsFontCollection(const std::uint8_t* data, std::size_t size);
// Faces in a collection, 0 when the data is not a well-formed collection header.
std::uint32_t CollectionFaceCount(const std::uint8_t* data, std::size_t size);
// Rebuilds face `index` of a collection as a standalone font: its own table directory, tables
// copied 4-byte aligned, head.checkSumAdjustment recomputed. False with a reason on bad data.
bool ExtractCollectionFace(const std::uint8_t* data, std::size_t size, std::uint32_t index,
                           std::vector<std::uint8_t>& out, std::string* error = nullptr);
// A standalone sfnt whose table directory lies within the data; `hasOutlines` tells whether it
// carries TrueType outlines ('glyf' and 'loca').
bool CheckSfnt(const std::uint8_t* data, std::size_t size, bool* hasOutlines = nullptr, std::string* error = nullptr);

}  // namespace fonts
