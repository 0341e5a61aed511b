#include "Sounds.h"

#include "Files.h"

#include "base/bytes/ByteView.h"

#include <algorithm>
#include <cmath>
#include <cstring>

namespace tarnquill {
namespace {

int RateCode(std::uint32_t hz) {
    switch (hz) {
    case 5500:
    case 5512:
    case 5513:
        return 0;
    case 11025:
        return 1;
    case 22050:
        return 2;
    case 44100:
        return 3;
    default:
        return -1;
    }
}

// The lowest movie rate that loses none of the source's, 44100 Hz at most.
std::uint32_t MovieRateFor(std::uint32_t hz) {
    for (std::uint32_t r : {5512u, 11025u, 22050u})
        if (hz <= r) return r;
    return 44100;
}

// One sample of a PCM or floating-point frame as a value in [-1, 1].
double SampleAt(const std::uint8_t* p, std::uint32_t bits, bool floating) {
    if (floating) {
        if (bits == 32) {
            float f;
            std::memcpy(&f, p, 4);
            return std::isfinite(f) ? std::clamp(static_cast<double>(f), -1.0, 1.0) : 0.0;
        }
        double d;
        std::memcpy(&d, p, 8);
        return std::isfinite(d) ? std::clamp(d, -1.0, 1.0) : 0.0;
    }
    switch (bits) {
    case 8:
        return (static_cast<int>(p[0]) - 128) / 128.0;
    case 16:
        return static_cast<std::int16_t>(p[0] | (p[1] << 8)) / 32768.0;
    case 24:
        return static_cast<std::int32_t>((std::uint32_t(p[0]) << 8) | (std::uint32_t(p[1]) << 16) |
                                         (std::uint32_t(p[2]) << 24)) /
               2147483648.0;
    default:
        return static_cast<std::int32_t>(std::uint32_t(p[0]) | (std::uint32_t(p[1]) << 8) |
                                         (std::uint32_t(p[2]) << 16) | (std::uint32_t(p[3]) << 24)) /
               2147483648.0;
    }
}

// Samples a movie cannot carry as they are (another rate, 24 or 32 bits, floating point) become
// 16-bit samples at the nearest movie rate above theirs, by linear interpolation.
void ConvertSamples(Sound& s, const std::uint8_t* data, std::uint32_t frames, std::uint32_t channels,
                    std::uint32_t bits, bool floating, std::uint32_t rate, const std::string& path) {
    const std::uint32_t target = MovieRateFor(rate);
    const std::uint64_t outFrames = frames == 0 ? 0 : (static_cast<std::uint64_t>(frames) * target + rate - 1) / rate;
    if (outFrames * channels * 2 > kMaxSoundFileBytes * 4)
        throw InputError("WAV file " + path + " is too long to convert to " + std::to_string(target) + " Hz");
    const std::uint32_t frameBytes = channels * bits / 8, sampleBytes = bits / 8;
    s.data.clear();
    s.data.reserve(static_cast<std::size_t>(outFrames * channels * 2));
    for (std::uint64_t i = 0; i < outFrames; ++i) {
        const double at = static_cast<double>(i) * rate / target;
        const std::uint32_t k = static_cast<std::uint32_t>(at);
        const std::uint32_t next = std::min(k + 1, frames - 1);
        const double t = at - k;
        for (std::uint32_t c = 0; c < channels; ++c) {
            const double a = SampleAt(data + std::size_t(k) * frameBytes + c * sampleBytes, bits, floating);
            const double b = SampleAt(data + std::size_t(next) * frameBytes + c * sampleBytes, bits, floating);
            const long v = std::lround(std::clamp((a + (b - a) * t) * 32768.0, -32768.0, 32767.0));
            s.data.push_back(static_cast<std::uint8_t>(v & 0xff));
            s.data.push_back(static_cast<std::uint8_t>((v >> 8) & 0xff));
        }
    }
    s.rateCode = RateCode(target);
    s.rateHz = target;
    s.sixteenBit = true;
    s.sampleCount = static_cast<std::uint32_t>(outFrames);
}

Sound ParseWav(const std::vector<std::uint8_t>& b, const std::string& path) {
    auto damaged = [&](const std::string& why) { return InputError("WAV file " + path + " is damaged: " + why); };
    std::size_t pos = 12;
    bool haveFormat = false;
    std::uint32_t channels = 0, rate = 0, bits = 0, blockAlign = 0;
    bool floating = false;
    const base::bytes::ByteView file(b);
    while (pos + 8 <= b.size()) {
        const std::uint8_t* chunk = &b[pos];
        std::uint64_t size = file.U32(pos + 4);
        std::size_t body = pos + 8;
        if (std::memcmp(chunk, "fmt ", 4) == 0) {
            if (size < 16 || body + size > b.size()) throw damaged("short format chunk");
            std::uint32_t tag = file.U16(body);
            // WAVE_FORMAT_EXTENSIBLE names its real format in the sub-format's first bytes.
            if (tag == 0xfffe && size >= 40) tag = file.U16(body + 24);
            if (tag != 1 && tag != 3)
                throw InputError("WAV file " + path + " is not PCM (format " + std::to_string(tag) +
                                 "); only PCM WAV and MP3 sounds are supported");
            floating = tag == 3;
            channels = file.U16(body + 2);
            rate = file.U32(body + 4);
            blockAlign = file.U16(body + 12);
            bits = file.U16(body + 14);
            haveFormat = true;
        } else if (std::memcmp(chunk, "data", 4) == 0) {
            if (!haveFormat) throw damaged("sound data before its format");
            if (body + size > b.size()) throw damaged("the sound data runs past the end of the file");
            if (channels != 1 && channels != 2)
                throw InputError("WAV file " + path + " has " + std::to_string(channels) +
                                 " channels; mono and stereo are supported");
            const bool integerBits = !floating && (bits == 8 || bits == 16 || bits == 24 || bits == 32);
            if (!integerBits && !(floating && (bits == 32 || bits == 64)))
                throw InputError("WAV file " + path + " has " + std::to_string(bits) + "-bit " +
                                 (floating ? "floating-point " : "") +
                                 "samples; 8, 16, 24 and 32 bits and 32- and 64-bit floating point are supported");
            if (rate < 1000 || rate > 384000)
                throw InputError("WAV file " + path + " is sampled at " + std::to_string(rate) +
                                 " Hz; 1000 to 384000 Hz are supported");
            std::uint32_t frameBytes = channels * bits / 8;
            if (blockAlign != frameBytes) throw damaged("block size does not match the sample format");
            Sound s;
            s.format = 3;
            s.stereo = channels == 2;
            const std::uint32_t frames = static_cast<std::uint32_t>(size / frameBytes);
            const int code = RateCode(rate);
            if (code >= 0 && !floating && (bits == 8 || bits == 16)) {
                s.rateCode = code;
                s.rateHz = rate;
                s.sixteenBit = bits == 16;
                s.sampleCount = frames;
                // A partial sample frame at the end is dropped.
                s.data.assign(b.begin() + body, b.begin() + body + static_cast<std::size_t>(frames) * frameBytes);
            } else {
                ConvertSamples(s, &b[body], frames, channels, bits, floating, rate, path);
            }
            return s;
        }
        pos = body + size + (size & 1);
    }
    throw damaged(haveFormat ? "no sound data" : "no format chunk");
}

struct FrameHeader {
    std::uint32_t length = 0, rate = 0, samples = 0;
    bool mono = false;
    int layer = 0;
};

bool ReadFrameHeader(const std::uint8_t* p, FrameHeader& h) {
    if (p[0] != 0xff || (p[1] & 0xe0) != 0xe0) return false;
    int version = (p[1] >> 3) & 3;  // 0 MPEG 2.5, 2 MPEG 2, 3 MPEG 1
    int layer = (p[1] >> 1) & 3;    // 1 layer III, 2 layer II, 3 layer I
    int bitrateIndex = p[2] >> 4, rateIndex = (p[2] >> 2) & 3, padding = (p[2] >> 1) & 1;
    if (version == 1 || layer == 0 || bitrateIndex == 15 || rateIndex == 3) return false;
    h.layer = 4 - layer;
    static const int kRates[3] = {44100, 48000, 32000};
    h.rate = kRates[rateIndex] >> (version == 3 ? 0 : version == 2 ? 1 : 2);
    h.mono = (p[3] >> 6) == 3;
    if (h.layer != 3) return true;
    static const int kMpeg1[15] = {0, 32, 40, 48, 56, 64, 80, 96, 112, 128, 160, 192, 224, 256, 320};
    static const int kMpeg2[15] = {0, 8, 16, 24, 32, 40, 48, 56, 64, 80, 96, 112, 128, 144, 160};
    int kbps = version == 3 ? kMpeg1[bitrateIndex] : kMpeg2[bitrateIndex];
    h.samples = version == 3 ? 1152 : 576;
    h.length = kbps ? (version == 3 ? 144000u : 72000u) * kbps / h.rate + padding : 0;
    return true;
}

Sound ParseMp3(const std::vector<std::uint8_t>& b, const std::string& path) {
    auto damaged = [&](const std::string& why) { return InputError("MP3 file " + path + " is damaged: " + why); };
    std::size_t pos = 0;
    while (pos + 10 <= b.size() && std::memcmp(&b[pos], "ID3", 3) == 0) {
        const std::uint8_t* h = &b[pos];
        if ((h[6] | h[7] | h[8] | h[9]) & 0x80) throw damaged("bad ID3 tag size");
        std::uint64_t size = (static_cast<std::uint64_t>(h[6]) << 21) | (h[7] << 14) | (h[8] << 7) | h[9];
        pos += 10 + size + ((h[5] & 0x10) ? 10 : 0);
    }
    Sound s;
    s.format = 2;
    s.sixteenBit = true;
    s.data = {0, 0};  // no samples to skip at the start
    std::uint64_t samples = 0;
    bool first = true;
    while (pos < b.size()) {
        if (b.size() - pos < 4) {
            bool zeros = true;
            for (std::size_t i = pos; i < b.size(); ++i) zeros = zeros && b[i] == 0;
            if (zeros) break;
            throw damaged("truncated frame header at byte " + std::to_string(pos));
        }
        const std::uint8_t* p = &b[pos];
        if (std::memcmp(p, "TAG", 3) == 0 || (b.size() - pos >= 8 && std::memcmp(p, "APETAGEX", 8) == 0) ||
            (b.size() - pos >= 6 && std::memcmp(p, "LYRICS", 6) == 0))
            break;  // trailing metadata
        FrameHeader h;
        if (!ReadFrameHeader(p, h)) {
            bool zeros = true;
            for (std::size_t i = pos; i < b.size() && zeros; ++i) zeros = b[i] == 0;
            if (zeros && !first) break;  // padding after the last frame
            throw damaged("no frame at byte " + std::to_string(pos));
        }
        if (h.layer != 3)
            throw InputError("sound file " + path + " is MPEG layer " + std::to_string(h.layer) +
                             " audio; only MP3 (layer III) is supported");
        if (h.length == 0) throw InputError("MP3 file " + path + " uses a free bit rate, which is not supported");
        if (h.length < 4) throw damaged("frame shorter than its header");
        if (first) {
            s.rateHz = h.rate;
            s.stereo = !h.mono;
            s.rateCode = RateCode(h.rate);
            if (s.rateCode < 1)
                throw InputError("MP3 file " + path + " is sampled at " + std::to_string(h.rate) +
                                 " Hz; 11025, 22050 and 44100 Hz are supported");
        } else if (h.rate != s.rateHz || h.mono == s.stereo) {
            throw damaged("the sample rate or channel count changes at byte " + std::to_string(pos));
        }
        if (pos + h.length > b.size()) throw damaged("truncated: the last frame is cut short");
        s.data.insert(s.data.end(), p, p + h.length);
        samples += h.samples;
        pos += h.length;
        first = false;
    }
    if (first) throw damaged("no MPEG audio frames");
    if (samples > 0xffffffffu) throw InputError("MP3 file " + path + " is too long");
    s.sampleCount = static_cast<std::uint32_t>(samples);
    return s;
}

}  // namespace

Sound ParseSound(const std::vector<std::uint8_t>& bytes, const std::string& path) {
    if (bytes.size() >= 12 && std::memcmp(bytes.data(), "RIFF", 4) == 0 && std::memcmp(&bytes[8], "WAVE", 4) == 0)
        return ParseWav(bytes, path);
    if (bytes.size() >= 3 &&
        (std::memcmp(bytes.data(), "ID3", 3) == 0 || (bytes[0] == 0xff && (bytes[1] & 0xe0) == 0xe0)))
        return ParseMp3(bytes, path);
    throw InputError("sound file " + path + " is neither a WAV nor an MP3 file");
}

Sound ReadSound(const std::string& path) {
    return ParseSound(ReadWholeFile(path, kMaxSoundFileBytes, "sound file"), path);
}

}  // namespace tarnquill
