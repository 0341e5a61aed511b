#pragma once
// Opening a media file on the playback device its content calls for: waveform audio for WAV,
// digital video for MP3 and the other streamed formats, the sequencer for MIDI. The device is
// chosen from the file's own headers, never from its name. Devices are kept open by id until
// closed. Results are error codes: 0 for success, else one of the kError values.

#include <cstddef>
#include <cstdint>
#include <string>

namespace media {

constexpr std::uint32_t kDeviceDigitalVideo = 520;
constexpr std::uint32_t kDeviceWaveformAudio = 522;
constexpr std::uint32_t kDeviceSequencer = 523;

constexpr std::uint32_t kErrorNone = 0;
constexpr std::uint32_t kErrorInvalidDeviceId = 257;
constexpr std::uint32_t kErrorFileNotFound = 275;  // missing, or not a file that can be read
constexpr std::uint32_t kErrorInvalidFile = 296;   // no device plays this content
constexpr std::uint32_t kErrorFileRead = 348;

// The device the file at path (UTF-8) would open on, without opening one.
std::uint32_t IdentifyMediaFile(const std::string& path, std::uint32_t& deviceType);

// Opens a device for the file; deviceId is non-zero on success and 0 otherwise.
std::uint32_t OpenMediaElement(const std::string& path, std::uint32_t& deviceId);
std::uint32_t GetMediaDeviceType(std::uint32_t deviceId, std::uint32_t& deviceType);
std::uint32_t CloseMediaDevice(std::uint32_t deviceId);

// How many devices are open now (for leak checks).
std::size_t OpenMediaDeviceCount();

}  // namespace media
