#pragma once
// The process-wide answer to three questions of one export: which major version of the
// presentation application runs (and so whether it has the animation timeline), which picture
// format shape pictures take, and which entry-effect object serves an entry-effect code.

#include "EntryEffect.h"
#include "genswf/utils/Utils.h"
#include "powerpoint/model/PowerPoint.h"

#include <cstdint>
#include <map>
#include <string>

namespace genswf {

class CEffectRegistry : public CRefCounted {
public:
    // Reads Application.Version once; throws CPPTException when that read fails.
    explicit CEffectRegistry(PowerPoint::_Application* application);
    // From a version text as the application gives it ("11.0", "9.0").
    explicit CEffectRegistry(const std::wstring& versionText);
    ~CEffectRegistry() override;

    // Seeds the random generator, drops the current global and, with an application, makes
    // and stores a new one. When construction fails the global stays empty.
    static void CreateGlobal(PowerPoint::_Application* application);
    // The current global; null before the first export or after a failed one.
    static CRefPtr<CEffectRegistry> GetGlobal();
    // The current global; throws CBaseException (code 0, no message) when there is none.
    static CRefPtr<CEffectRegistry> GetRequiredGlobal();

    // The entry effect of a code: 513 draws one at random, an unknown code gets the cut.
    CRefPtr<CTransitionEffect> GetEffect(int code) const;
    // The random pick of code 513 for a given draw of the random generator.
    CRefPtr<CTransitionEffect> GetEffectForDraw(int draw) const;
    CRefPtr<CTransitionEffect> GetDefaultEffect() const { return m_defaultEffect; }

    bool HasTimeLine() const { return m_version > 9; }
    bool IsVersion9() const { return m_version == 9; }
    bool IsNotVersion10() const { return m_version != 10; }
    std::int32_t GetVersion() const { return m_version; }
    const std::wstring& GetPictureFormat() const { return m_pictureFormat; }
    std::int32_t GetPictureFilter() const { return m_pictureFilter; }
    std::size_t GetEffectCount() const { return m_effects.size(); }
    const std::map<std::int32_t, CRefPtr<CTransitionEffect>>& GetEffects() const { return m_effects; }

    // The leading integer of a version text: optional blanks and sign, then decimal digits;
    // no digits give 0 and values beyond 32 bits are capped.
    static std::int32_t ParseVersion(const std::wstring& text);

private:
    void Initialise(const std::wstring& versionText);
    void RegisterEffects();

    std::int32_t m_version = 0;
    std::wstring m_pictureFormat;
    std::int32_t m_pictureFilter = 0;
    std::map<std::int32_t, CRefPtr<CTransitionEffect>> m_effects;
    CRefPtr<CTransitionEffect> m_defaultEffect;
};

}  // namespace genswf
