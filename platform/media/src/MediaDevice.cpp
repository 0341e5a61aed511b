#include "media/MediaDevice.h"

#include "base/bytes/ByteView.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <map>
#include <mutex>

namespace media {

namespace {

class CMediaFile {
public:
    explicit CMediaFile(const std::string& path) : m_fd(::open(path.c_str(), O_RDONLY | O_CLOEXEC)) {
        struct stat info {};
        if (m_fd >= 0 && ::fstat(m_fd, &info) == 0 && S_ISREG(info.st_mode)) {
            m_size = static_cast<std::uint64_t>(info.st_size);
            m_valid = true;
        }
    }
    ~CMediaFile() {
        if (m_fd >= 0) ::close(m_fd);
    }
    CMediaFile(const CMediaFile&) = delete;
    CMediaFile& operator=(const CMediaFile&) = delete;

    bool IsValid() const { return m_valid; }
    std::uint64_t Size() const { return m_size; }

    // Exactly count bytes at offset, or false; never past the end of the file.
    bool ReadAt(std::uint64_t offset, void* buffer, std::size_t count) const {
        if (offset > m_size || count > m_size - offset) return false;
        auto* p = static_cast<std::uint8_t*>(buffer);
        std::size_t done = 0;
        while (done < count) {
            const ssize_t got = ::pread(m_fd, p + done, count - done, static_cast<off_t>(offset + done));
            if (got < 0 && errno == EINTR) continue;
            if (got <= 0) return false;
            done += static_cast<std::size_t>(got);
        }
        return true;
    }

private:
    int m_fd;
    std::uint64_t m_size = 0;
    bool m_valid = false;
};

bool Tag(const std::uint8_t* p, const char* tag) { return std::memcmp(p, tag, 4) == 0; }

// A WAV file needs a usable "fmt " chunk; the chunk walk stays inside the file.
bool HasWaveFormat(const CMediaFile& file) {
    std::uint64_t pos = 12;
    for (int chunks = 0; chunks < 1024 && pos + 8 <= file.Size(); ++chunks) {
        std::uint8_t header[8];
        if (!file.ReadAt(pos, header, sizeof header)) return false;
        const std::uint32_t size = base::bytes::ByteView(header, sizeof header).U32(4);
        if (Tag(header, "fmt ")) {
            std::uint8_t format[16];
            if (size < 16 || !file.ReadAt(pos + 8, format, sizeof format)) return false;
            const base::bytes::ByteView fields(format, sizeof format);
            return fields.U16(2) > 0 && fields.U32(4) > 0;
        }
        pos += 8 + std::uint64_t(size) + (size & 1);
    }
    return false;
}

// Length in bytes of the MPEG audio frame whose header this is; 0 when it is no header, and
// 1 for a valid free-format header, whose length the header does not tell.
std::uint32_t MpegFrameLength(const std::uint8_t* h) {
    if (h[0] != 0xFF || (h[1] & 0xE0) != 0xE0) return 0;
    const unsigned version = (h[1] >> 3) & 3;  // 3: MPEG-1, 2: MPEG-2, 0: MPEG-2.5
    const unsigned layer = (h[1] >> 1) & 3;    // 3: I, 2: II, 1: III
    const unsigned bitrateIndex = h[2] >> 4;
    const unsigned rateIndex = (h[2] >> 2) & 3;
    if (version == 1 || layer == 0 || bitrateIndex == 15 || rateIndex == 3 || (h[3] & 3) == 2) return 0;
    if (bitrateIndex == 0) return 1;

    static const unsigned kBitrates[5][15] = {
        {0, 32, 64, 96, 128, 160, 192, 224, 256, 288, 320, 352, 384, 416, 448},  // MPEG-1 layer I
        {0, 32, 48, 56, 64, 80, 96, 112, 128, 160, 192, 224, 256, 320, 384},     // MPEG-1 layer II
        {0, 32, 40, 48, 56, 64, 80, 96, 112, 128, 160, 192, 224, 256, 320},      // MPEG-1 layer III
        {0, 32, 48, 56, 64, 80, 96, 112, 128, 144, 160, 176, 192, 224, 256},     // MPEG-2 layer I
        {0, 8, 16, 24, 32, 40, 48, 56, 64, 80, 96, 112, 128, 144, 160},          // MPEG-2 layers II, III
    };
    static const unsigned kRates[3] = {44100, 48000, 32000};
    const bool mpeg1 = version == 3;
    const unsigned table = mpeg1 ? (3 - layer) : (layer == 3 ? 3 : 4);
    const unsigned bitrate = kBitrates[table][bitrateIndex] * 1000;
    const unsigned rate = kRates[rateIndex] >> (mpeg1 ? 0 : (version == 2 ? 1 : 2));
    const unsigned padding = (h[2] >> 1) & 1;
    if (layer == 3) return (12 * bitrate / rate + padding) * 4;
    const unsigned factor = (layer == 1 && !mpeg1) ? 72 : 144;
    return factor * bitrate / rate + padding;
}

// A frame at pos, confirmed by the next frame's header when the file goes on that far.
bool IsMpegAudioAt(const CMediaFile& file, std::uint64_t pos) {
    std::uint8_t header[4];
    if (!file.ReadAt(pos, header, sizeof header)) return false;
    const std::uint32_t length = MpegFrameLength(header);
    if (length == 0) return false;
    if (length == 1 || pos + length + 4 > file.Size()) return true;
    return file.ReadAt(pos + length, header, sizeof header) && MpegFrameLength(header) != 0;
}

bool IsMp3AfterTag(const CMediaFile& file, const std::uint8_t* head) {
    std::uint32_t tagSize = 0;
    for (int i = 6; i < 10; ++i) {
        if (head[i] & 0x80) return false;
        tagSize = (tagSize << 7) | head[i];
    }
    const std::uint64_t tagEnd = 10 + std::uint64_t(tagSize) + ((head[5] & 0x10) ? 10 : 0);
    // Encoders may pad between the tag and the first frame.
    constexpr std::uint64_t kSearch = 4096;
    for (std::uint64_t pos = tagEnd; pos < tagEnd + kSearch && pos + 4 <= file.Size(); ++pos) {
        std::uint8_t byte;
        if (!file.ReadAt(pos, &byte, 1)) return false;
        if (byte == 0) continue;
        return byte == 0xFF && IsMpegAudioAt(file, pos);
    }
    return false;
}

std::uint32_t Identify(const CMediaFile& file, std::uint32_t& deviceType) {
    static const std::uint8_t kAsf[16] = {0x30, 0x26, 0xB2, 0x75, 0x8E, 0x66, 0xCF, 0x11,
                                          0xA6, 0xD9, 0x00, 0xAA, 0x00, 0x62, 0xCE, 0x6C};
    std::uint8_t head[16] = {};
    const std::size_t have = static_cast<std::size_t>(std::min<std::uint64_t>(file.Size(), sizeof head));
    if (!file.ReadAt(0, head, have)) return kErrorFileRead;
    if (have < 4) return kErrorInvalidFile;

    std::uint32_t type = 0;
    if (have >= 12 && Tag(head, "RIFF")) {
        if (Tag(head + 8, "WAVE") && HasWaveFormat(file))
            type = kDeviceWaveformAudio;
        else if (Tag(head + 8, "AVI "))
            type = kDeviceDigitalVideo;
        else if (Tag(head + 8, "RMID"))
            type = kDeviceSequencer;
    } else if (Tag(head, "MThd")) {
        type = kDeviceSequencer;
    } else if (have >= 10 && std::memcmp(head, "ID3", 3) == 0) {
        if (IsMp3AfterTag(file, head)) type = kDeviceDigitalVideo;
    } else if (head[0] == 0xFF) {
        if (IsMpegAudioAt(file, 0)) type = kDeviceDigitalVideo;
    } else if (have >= 16 && std::memcmp(head, kAsf, 16) == 0) {
        type = kDeviceDigitalVideo;
    } else if (head[0] == 0 && head[1] == 0 && head[2] == 1 && (head[3] == 0xBA || head[3] == 0xB3)) {
        type = kDeviceDigitalVideo;  // MPEG program or video stream
    } else if (have >= 12 && Tag(head, "FORM") && (Tag(head + 8, "AIFF") || Tag(head + 8, "AIFC"))) {
        type = kDeviceDigitalVideo;
    } else if (Tag(head, ".snd")) {
        type = kDeviceDigitalVideo;
    }
    if (type == 0) return kErrorInvalidFile;
    deviceType = type;
    return kErrorNone;
}

struct DeviceTable {
    std::mutex lock;
    std::map<std::uint32_t, std::uint32_t> types;  // device id -> device type
    std::uint32_t nextId = 1;
};

DeviceTable& Devices() {
    static DeviceTable table;
    return table;
}

}  // namespace

std::uint32_t IdentifyMediaFile(const std::string& path, std::uint32_t& deviceType) {
    deviceType = 0;
    CMediaFile file(path);
    if (!file.IsValid()) return kErrorFileNotFound;
    return Identify(file, deviceType);
}

std::uint32_t OpenMediaElement(const std::string& path, std::uint32_t& deviceId) {
    deviceId = 0;
    std::uint32_t type = 0;
    const std::uint32_t error = IdentifyMediaFile(path, type);
    if (error != kErrorNone) return error;
    DeviceTable& devices = Devices();
    std::lock_guard<std::mutex> guard(devices.lock);
    std::uint32_t id = devices.nextId;
    while (id == 0 || devices.types.count(id) != 0) ++id;  // ids are never 0 nor reused while open
    devices.nextId = id + 1;
    devices.types.emplace(id, type);
    deviceId = id;
    return kErrorNone;
}

std::uint32_t GetMediaDeviceType(std::uint32_t deviceId, std::uint32_t& deviceType) {
    DeviceTable& devices = Devices();
    std::lock_guard<std::mutex> guard(devices.lock);
    const auto found = devices.types.find(deviceId);
    if (found == devices.types.end()) return kErrorInvalidDeviceId;
    deviceType = found->second;
    return kErrorNone;
}

std::uint32_t CloseMediaDevice(std::uint32_t deviceId) {
    DeviceTable& devices = Devices();
    std::lock_guard<std::mutex> guard(devices.lock);
    return devices.types.erase(deviceId) != 0 ? kErrorNone : kErrorInvalidDeviceId;
}

std::size_t OpenMediaDeviceCount() {
    DeviceTable& devices = Devices();
    std::lock_guard<std::mutex> guard(devices.lock);
    return devices.types.size();
}

}  // namespace media
