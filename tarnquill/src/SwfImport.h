// Movies named by a sprite's "src": their definitions renumbered into ours, their main
// timeline kept as a sprite.
#pragma once

#include <cstdint>
#include <functional>
#include <map>
#include <string>
#include <vector>

namespace tarnquill {

constexpr std::uint64_t kMaxImportedSwfBytes = 64ull * 1024 * 1024;    // the file as stored
constexpr std::uint64_t kMaxImportedSwfLength = 256ull * 1024 * 1024;  // its length unpacked

struct ImportedMovie {
    int version = 0;
    std::uint16_t frameCount = 0;
    std::vector<std::uint8_t> definitions;       // whole tags, to be written before the sprite
    std::vector<std::uint8_t> timeline;          // the sprite's control tags, End included
    std::map<std::uint16_t, std::uint16_t> ids;  // the movie's character ids -> ours
};

// Throws InputError saying what is wrong (the caller names the file). `newId` hands out
// our character ids. With `lockRoot`, "_root" inside the movie means the sprite.
ImportedMovie ImportSwf(const std::vector<std::uint8_t>& file, const std::function<std::uint16_t()>& newId,
                        bool lockRoot, std::vector<std::string>& warnings);

bool LooksLikeSwf(const std::vector<std::uint8_t>& file);

}  // namespace tarnquill
