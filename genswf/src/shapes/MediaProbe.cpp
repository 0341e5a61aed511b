#include "genswf/shapes/MediaProbe.h"

#include "genswf/utils/Utils.h"
#include "media/MediaDevice.h"

namespace genswf {

CMediaProbe::~CMediaProbe() { Close(); }

bool CMediaProbe::Open(const std::wstring& path) {
    if (m_deviceId != 0) Close();

    std::uint32_t deviceId = 0;
    m_lastError = media::OpenMediaElement(NativePath(path), deviceId);
    if (m_lastError != 0) return false;
    m_deviceId = deviceId;
    m_isOpen = 1;

    std::uint32_t deviceType = 0;
    m_lastError = media::GetMediaDeviceType(m_deviceId, deviceType);
    if (m_lastError != 0) return false;
    return deviceType == kDeviceTypeDigitalVideo || deviceType == kDeviceTypeWaveformAudio;
}

bool CMediaProbe::Close() {
    if (m_deviceId == 0) return true;
    const std::uint32_t result = media::CloseMediaDevice(m_deviceId);
    m_deviceId = 0;
    m_isOpen = 0;
    m_lastError = result;
    return result == 0;
}

}  // namespace genswf
