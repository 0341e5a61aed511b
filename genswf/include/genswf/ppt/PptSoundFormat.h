#pragma once
// The sound of a sound shape: its kind, its linked file and its data.

#include "Ppt.h"

#include <memory>
#include <string>

namespace genswf {

class CPptSoundFormat {
public:
    explicit CPptSoundFormat(PowerPoint::SoundFormat* sound);
    virtual ~CPptSoundFormat();
    CPptSoundFormat(const CPptSoundFormat&) = delete;
    CPptSoundFormat& operator=(const CPptSoundFormat&) = delete;

    PowerPoint::PpSoundFormatType GetType();
    const std::wstring& GetSourceFullName();
    // Writes the sound's data to fileName every time; returns the type of what was written.
    PowerPoint::PpSoundFormatType Export(const std::wstring& fileName);

private:
    struct Impl;
    std::unique_ptr<Impl> m_impl;
};

std::shared_ptr<CPptSoundFormat> CreatePptSoundFormat(PowerPoint::SoundFormat* sound);

}  // namespace genswf
