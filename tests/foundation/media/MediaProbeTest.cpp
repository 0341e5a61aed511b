// The media probe: which files play as waveform audio or digital video, by their headers.

#include "TempDir.h"
#include "genswf/shapes/MediaProbe.h"
#include "genswf/utils/Utils.h"
#include "media/MediaDevice.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <string>
#include <vector>

namespace {

using Bytes = std::vector<std::uint8_t>;

void Put32(Bytes& b, std::uint32_t v) {
    for (int i = 0; i < 4; ++i) b.push_back(std::uint8_t(v >> (8 * i)));
}

void PutText(Bytes& b, const char* text) {
    for (int i = 0; i < 4; ++i) b.push_back(std::uint8_t(text[i]));
}

// RIFF WAVE with a PCM "fmt " chunk and a little silence; extra chunks can come first.
Bytes Wave(std::uint16_t channels = 1, bool withFormat = true, const Bytes& before = {}) {
    Bytes body;
    PutText(body, "WAVE");
    body.insert(body.end(), before.begin(), before.end());
    if (withFormat) {
        PutText(body, "fmt ");
        Put32(body, 16);
        body.insert(body.end(), {1, 0, std::uint8_t(channels), 0});
        Put32(body, 8000);
        Put32(body, 8000);
        body.insert(body.end(), {1, 0, 8, 0});
    }
    PutText(body, "data");
    Put32(body, 4);
    body.insert(body.end(), {0x80, 0x80, 0x80, 0x80});
    Bytes file;
    PutText(file, "RIFF");
    Put32(file, std::uint32_t(body.size()));
    file.insert(file.end(), body.begin(), body.end());
    return file;
}

// MPEG-1 layer III, 128 kbit/s, 44.1 kHz: frames of 417 bytes.
Bytes Mp3Frames(int frames) {
    Bytes out;
    for (int i = 0; i < frames; ++i) {
        Bytes frame(417, 0);
        frame[0] = 0xFF;
        frame[1] = 0xFB;
        frame[2] = 0x90;
        frame[3] = 0x64;
        out.insert(out.end(), frame.begin(), frame.end());
    }
    return out;
}

Bytes Id3(std::uint32_t tagSize, const Bytes& after) {
    Bytes out = {'I',
                 'D',
                 '3',
                 3,
                 0,
                 0,
                 std::uint8_t((tagSize >> 21) & 0x7F),
                 std::uint8_t((tagSize >> 14) & 0x7F),
                 std::uint8_t((tagSize >> 7) & 0x7F),
                 std::uint8_t(tagSize & 0x7F)};
    out.insert(out.end(), tagSize, 0);
    out.insert(out.end(), after.begin(), after.end());
    return out;
}

}  // namespace

TEST(MediaDeviceTest, DeviceIsChosenByContent) {
    CScratchFolder scratch;
    Bytes listFirst;
    PutText(listFirst, "LIST");
    Put32(listFirst, 3);
    listFirst.insert(listFirst.end(), {'a', 'b', 'c', 0});  // odd size: padded
    Bytes hugeChunk;
    PutText(hugeChunk, "junk");
    Put32(hugeChunk, 0xFFFFFFF0u);
    Bytes avi = {'R', 'I', 'F', 'F', 4, 0, 0, 0, 'A', 'V', 'I', ' '};
    Bytes midi = {'M', 'T', 'h', 'd', 0, 0, 0, 6, 0, 0, 0, 1, 0, 96};
    Bytes badSecondFrame = Mp3Frames(2);
    badSecondFrame[417 + 1] = 0x00;

    struct Case {
        const char* name;
        Bytes bytes;
        std::uint32_t error;
        std::uint32_t type;
    };
    const Case cases[] = {
        {"wave.wav", Wave(), media::kErrorNone, media::kDeviceWaveformAudio},
        {"list-first.wav", Wave(2, true, listFirst), media::kErrorNone, media::kDeviceWaveformAudio},
        {"no-format.wav", Wave(1, false), media::kErrorInvalidFile, 0},
        {"no-channels.wav", Wave(0), media::kErrorInvalidFile, 0},
        {"chunk-past-end.wav", Wave(1, true, hugeChunk), media::kErrorInvalidFile, 0},
        {"frames.mp3", Mp3Frames(3), media::kErrorNone, media::kDeviceDigitalVideo},
        {"tagged.mp3", Id3(300, Mp3Frames(2)), media::kErrorNone, media::kDeviceDigitalVideo},
        {"tag-only.mp3", Id3(300, Bytes(50, 'x')), media::kErrorInvalidFile, 0},
        // The tag claims 256 MB in a 12-byte file.
        {"tag-past-end.mp3", {'I', 'D', '3', 3, 0, 0, 0x7F, 0x7F, 0x7F, 0x7F, 0xFF, 0xFB}, media::kErrorInvalidFile, 0},
        {"broken-second-frame.mp3", badSecondFrame, media::kErrorInvalidFile, 0},
        {"movie.avi", avi, media::kErrorNone, media::kDeviceDigitalVideo},
        {"tune.mid", midi, media::kErrorNone, media::kDeviceSequencer},
        {"text.wav", {'h', 'e', 'l', 'l', 'o', ' ', 'w', 'o', 'r', 'l', 'd'}, media::kErrorInvalidFile, 0},
        {"empty.wav", {}, media::kErrorInvalidFile, 0},
        {"riff-only.wav", {'R', 'I', 'F', 'F'}, media::kErrorInvalidFile, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const std::string path = genswf::NativePath(scratch.Write(c.name, c.bytes));
        std::uint32_t type = 99;
        EXPECT_EQ(media::IdentifyMediaFile(path, type), c.error);
        EXPECT_EQ(type, c.type);
    }
    std::uint32_t type = 0;
    EXPECT_EQ(media::IdentifyMediaFile(genswf::NativePath(scratch / L"missing.wav"), type), media::kErrorFileNotFound);
    EXPECT_EQ(media::IdentifyMediaFile("/tmp", type), media::kErrorFileNotFound);
}

TEST(MediaProbeTest, OpensPlayableFilesAndKeepsTheDeviceUntilClosed) {
    CScratchFolder scratch;
    const std::wstring wave = scratch.Write("a.wav", Wave());
    const std::wstring mp3 = scratch.Write("b.mp3", Mp3Frames(2));
    const std::wstring midi = scratch.Write("c.mid", {'M', 'T', 'h', 'd', 0, 0, 0, 6});
    const std::wstring text = scratch.Write("d.wav", {'n', 'o', 'p', 'e', '!'});
    const std::size_t before = media::OpenMediaDeviceCount();
    {
        genswf::CMediaProbe probe;
        EXPECT_EQ(probe.GetLastError(), 0u);
        EXPECT_TRUE(probe.Close());  // nothing open yet

        EXPECT_TRUE(probe.Open(wave));
        EXPECT_EQ(probe.GetLastError(), 0u);
        EXPECT_TRUE(probe.IsOpen());
        EXPECT_EQ(media::OpenMediaDeviceCount(), before + 1);

        EXPECT_TRUE(probe.Open(mp3));  // the first device is closed first
        EXPECT_EQ(media::OpenMediaDeviceCount(), before + 1);

        // Opens, but on a device that plays no sampled sound: false without an error.
        EXPECT_FALSE(probe.Open(midi));
        EXPECT_EQ(probe.GetLastError(), 0u);
        EXPECT_TRUE(probe.IsOpen());
        EXPECT_EQ(media::OpenMediaDeviceCount(), before + 1);
        EXPECT_TRUE(probe.Close());
        EXPECT_FALSE(probe.IsOpen());
        EXPECT_EQ(media::OpenMediaDeviceCount(), before);

        EXPECT_FALSE(probe.Open(scratch / L"missing.wav"));
        EXPECT_EQ(probe.GetLastError(), media::kErrorFileNotFound);
        EXPECT_FALSE(probe.IsOpen());

        EXPECT_FALSE(probe.Open(text));
        EXPECT_EQ(probe.GetLastError(), media::kErrorInvalidFile);

        EXPECT_TRUE(probe.Open(wave));
    }
    // Destruction closes the device.
    EXPECT_EQ(media::OpenMediaDeviceCount(), before);
    std::uint32_t type = 0;
    EXPECT_EQ(media::GetMediaDeviceType(0, type), media::kErrorInvalidDeviceId);
    EXPECT_EQ(media::CloseMediaDevice(123456), media::kErrorInvalidDeviceId);
}

TEST(MediaProbeTest, PathsWithBackslashesAndNonAsciiNames) {
    CScratchFolder scratch;
    const std::wstring wave = scratch.Write("ton\xC3\xA9.wav", Wave());
    std::wstring backslashed = wave;
    for (wchar_t& c : backslashed) {
        if (c == L'/') c = L'\\';
    }
    genswf::CMediaProbe probe;
    EXPECT_TRUE(probe.Open(backslashed));
}
