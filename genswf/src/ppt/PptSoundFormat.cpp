// The sound wrapper.

#include "genswf/ppt/PptSoundFormat.h"

#include "PptHelpers.h"

namespace genswf {

struct CPptSoundFormat::Impl {
    CComPtr<PowerPoint::SoundFormat> sound;
    bool typeRead = false;
    PowerPoint::PpSoundFormatType type = 0;
    bool sourceFullNameRead = false;
    std::wstring sourceFullName;
};

CPptSoundFormat::CPptSoundFormat(PowerPoint::SoundFormat* sound) : m_impl(new Impl) { m_impl->sound = sound; }

CPptSoundFormat::~CPptSoundFormat() = default;

PowerPoint::PpSoundFormatType CPptSoundFormat::GetType() {
    if (!m_impl->typeRead) {
        PowerPoint::PpSoundFormatType type = 0;
        if (!m_impl->sound || m_impl->sound->get_Type(&type) < 0) ThrowPptException(__FILE__, 27);
        m_impl->type = type;
        m_impl->typeRead = true;
    }
    return m_impl->type;
}

const std::wstring& CPptSoundFormat::GetSourceFullName() {
    if (!m_impl->sourceFullNameRead) {
        BSTR name = nullptr;
        if (!m_impl->sound || m_impl->sound->get_SourceFullName(&name) < 0) {
            SysFreeString(name);
            ThrowPptException(__FILE__, 32);
        }
        m_impl->sourceFullName = TakeBstr(name);
        m_impl->sourceFullNameRead = true;
    }
    return m_impl->sourceFullName;
}

PowerPoint::PpSoundFormatType CPptSoundFormat::Export(const std::wstring& fileName) {
    HRESULT hr = E_POINTER;
    PowerPoint::PpSoundFormatType written = 0;
    if (m_impl->sound) {
        BSTR file = BstrFromWString(fileName);
        hr = m_impl->sound->Export(file, &written);
        SysFreeString(file);
    }
    if (hr < 0) throw CPPTException(LocatedMessage(L"Cannot export sound to file " + fileName, __FILE__, 41));
    return written;
}

std::shared_ptr<CPptSoundFormat> CreatePptSoundFormat(PowerPoint::SoundFormat* sound) {
    return std::make_shared<CPptSoundFormat>(sound);
}

}  // namespace genswf
