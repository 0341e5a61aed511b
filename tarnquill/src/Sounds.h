// Sounds named by "sound": WAV (PCM) and MP3 files as DefineSound data.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace tarnquill {

constexpr std::uint64_t kMaxSoundFileBytes = 128ull * 1024 * 1024;

struct Sound {
    int format = 3;    // SWF sound format: 3 uncompressed little-endian, 2 MP3
    int rateCode = 0;  // 0 5.5 kHz, 1 11 kHz, 2 22 kHz, 3 44 kHz
    bool sixteenBit = true;
    bool stereo = false;
    std::uint32_t rateHz = 0;
    std::uint32_t sampleCount = 0;   // per channel
    std::vector<std::uint8_t> data;  // SoundData of DefineSound (MP3: seek samples first)

    double Seconds() const { return rateHz ? static_cast<double>(sampleCount) / rateHz : 0.0; }
};

// Recognised by content, not by name. Throws InputError naming the file.
Sound ReadSound(const std::string& path);
Sound ParseSound(const std::vector<std::uint8_t>& bytes, const std::string& path);

}  // namespace tarnquill
