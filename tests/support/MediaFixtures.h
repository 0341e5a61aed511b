// Media files the tests make for themselves: WAV, MP3 frame sequences, metafiles, and a
// temporary folder with a system font copied in.
#pragma once

#include "FileBytes.h"
#include "base/metafile/WmfRecords.h"

#include <unistd.h>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

namespace media {

namespace fs = std::filesystem;

inline void Write(const std::string& path, const std::vector<std::uint8_t>& bytes) {
    std::ofstream(path, std::ios::binary).write(reinterpret_cast<const char*>(bytes.data()), bytes.size());
}

inline std::vector<std::uint8_t> Read(const std::string& path) { return bctest::FileBytes(path); }

inline void Put16(std::vector<std::uint8_t>& b, unsigned v) {
    b.push_back(static_cast<std::uint8_t>(v));
    b.push_back(static_cast<std::uint8_t>(v >> 8));
}
inline void Put32(std::vector<std::uint8_t>& b, std::uint32_t v) {
    Put16(b, v & 0xffff);
    Put16(b, v >> 16);
}

inline std::vector<std::uint8_t> Wav(unsigned channels, unsigned rate, unsigned bits, std::uint32_t frames,
                                     unsigned format = 1) {
    std::vector<std::uint8_t> b = {'R', 'I', 'F', 'F', 0, 0, 0, 0, 'W', 'A', 'V', 'E', 'f', 'm', 't', ' '};
    Put32(b, 16);
    Put16(b, format);
    Put16(b, channels);
    Put32(b, rate);
    Put32(b, rate * channels * bits / 8);
    Put16(b, channels * bits / 8);
    Put16(b, bits);
    b.insert(b.end(), {'d', 'a', 't', 'a'});
    std::uint32_t size = frames * channels * bits / 8;
    Put32(b, size);
    for (std::uint32_t i = 0; i < size; ++i) b.push_back(static_cast<std::uint8_t>(i * 7));
    std::uint32_t riff = static_cast<std::uint32_t>(b.size() - 8);
    for (int i = 0; i < 4; ++i) b[4 + i] = static_cast<std::uint8_t>(riff >> (8 * i));
    return b;
}

// Layer III frames with silent payload; `version` 3 is MPEG-1, 2 is MPEG-2.
inline std::vector<std::uint8_t> Mp3(int frames, int version = 3, int bitrateIndex = 9, int rateIndex = 0,
                                     bool mono = false, int layerBits = 1) {
    static const int kMpeg1[] = {0, 32, 40, 48, 56, 64, 80, 96, 112, 128, 160, 192, 224, 256, 320};
    static const int kMpeg2[] = {0, 8, 16, 24, 32, 40, 48, 56, 64, 80, 96, 112, 128, 144, 160};
    static const int kRates[] = {44100, 48000, 32000};
    int rate = kRates[rateIndex] >> (version == 3 ? 0 : 1);
    int kbps = version == 3 ? kMpeg1[bitrateIndex] : kMpeg2[bitrateIndex];
    std::vector<std::uint8_t> b;
    for (int f = 0; f < frames; ++f) {
        int padding = f % 3 == 1;
        int length = (version == 3 ? 144000 : 72000) * kbps / rate + padding;
        b.push_back(0xff);
        b.push_back(static_cast<std::uint8_t>(0xe0 | (version << 3) | (layerBits << 1) | 1));
        b.push_back(static_cast<std::uint8_t>((bitrateIndex << 4) | (rateIndex << 2) | (padding << 1)));
        b.push_back(mono ? 0xc0 : 0x00);
        b.resize(b.size() + length - 4, 0);
    }
    return b;
}

// A metafile from records of 16-bit parameters, with an optional placeable header.
struct WmfWriter {
    std::vector<std::uint8_t> records;
    void Record(std::uint16_t function, std::vector<int> params) {
        Put32(records, static_cast<std::uint32_t>(3 + params.size()));
        Put16(records, function);
        for (int p : params) Put16(records, static_cast<unsigned>(p) & 0xffff);
    }
    std::vector<std::uint8_t> Bytes(bool placeable = true, int right = 200, int bottom = 100) const {
        std::vector<std::uint8_t> b;
        if (placeable) {
            Put32(b, base::metafile::kPlaceableKey);
            Put16(b, 0);
            for (int v : {0, 0, right, bottom}) Put16(b, static_cast<unsigned>(v));
            Put16(b, 1440);
            Put32(b, 0);
            unsigned sum = 0;
            for (std::size_t i = 0; i < b.size(); i += 2) sum ^= b[i] | (b[i + 1] << 8);
            Put16(b, sum);
        }
        Put16(b, 1);
        Put16(b, 9);
        Put16(b, 0x0300);
        Put32(b, static_cast<std::uint32_t>((18 + records.size() + 6) / 2));
        Put16(b, 4);
        Put32(b, 16);
        Put16(b, 0);
        b.insert(b.end(), records.begin(), records.end());
        Put32(b, 3);
        Put16(b, 0);
        return b;
    }
};

inline std::string SystemFont(const char* name) {
    for (const char* dir : {"/usr/share/fonts/truetype/dejavu/", "/usr/share/fonts/TTF/", "/usr/share/fonts/dejavu/"}) {
        std::string path = std::string(dir) + name;
        if (fs::exists(path)) return path;
    }
    return {};
}

}  // namespace media
