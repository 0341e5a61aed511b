#pragma once
// Can a sound shape's file be played as it is? Opens it on a media device and accepts it when
// the device is digital video or waveform audio. No exception leaves the probe: a failure is
// a false result with the device's error code in GetLastError.

#include <cstdint>
#include <string>

namespace genswf {

class CMediaProbe {
public:
    static constexpr std::uint32_t kDeviceTypeDigitalVideo = 520;
    static constexpr std::uint32_t kDeviceTypeWaveformAudio = 522;

    CMediaProbe() = default;
    virtual ~CMediaProbe();
    CMediaProbe(const CMediaProbe&) = delete;
    CMediaProbe& operator=(const CMediaProbe&) = delete;

    // Closes what was open first. The device stays open afterwards, whatever the answer.
    bool Open(const std::wstring& path);
    // True when nothing was open or the device closed cleanly.
    bool Close();
    std::uint32_t GetLastError() const { return m_lastError; }
    bool IsOpen() const { return m_isOpen != 0; }

private:
    std::uint32_t m_deviceId = 0;
    std::uint32_t m_isOpen = 0;
    std::uint32_t m_lastError = 0;
};

}  // namespace genswf
