#include "genswf/animation/EffectRegistry.h"

#include "com/ComBstr.h"
#include "genswf/animation/EntryEffects.h"
#include "genswf/utils/Exceptions.h"

#include <chrono>
#include <climits>
#include <cstdlib>
#include <cwctype>
#include <initializer_list>

namespace genswf {

namespace {

// The registry of the current export; released at exit by its own destructor.
CRefPtr<CEffectRegistry>& GlobalRegistry() {
    static CRefPtr<CEffectRegistry> global;
    return global;
}

unsigned TickCount() {
    using namespace std::chrono;
    return static_cast<unsigned>(duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count());
}

constexpr std::int32_t kCutCode = 257;
constexpr std::int32_t kRandomCode = 513;

}  // namespace

CEffectRegistry::CEffectRegistry(PowerPoint::_Application* application) {
    if (!application) THROW_PPT_EXCEPTION();
    BSTR version = nullptr;
    const HRESULT hr = application->get_Version(&version);
    if (hr < 0) {
        SysFreeString(version);
        THROW_PPT_EXCEPTION();
    }
    const std::wstring text = WStringFromBstr(version);
    SysFreeString(version);
    Initialise(text);
}

CEffectRegistry::CEffectRegistry(const std::wstring& versionText) { Initialise(versionText); }

CEffectRegistry::~CEffectRegistry() = default;

std::int32_t CEffectRegistry::ParseVersion(const std::wstring& text) {
    std::size_t i = 0;
    while (i < text.size() && std::iswspace(static_cast<wint_t>(text[i]))) ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == L'+' || text[i] == L'-')) {
        negative = text[i] == L'-';
        ++i;
    }
    long long value = 0;
    for (; i < text.size() && text[i] >= L'0' && text[i] <= L'9'; ++i) {
        value = value * 10 + (text[i] - L'0');
        if (value > static_cast<long long>(INT_MAX) + 1) break;  // already out of range; the cap below decides
    }
    if (negative) value = -value;
    if (value > INT_MAX) return INT_MAX;
    if (value < INT_MIN) return INT_MIN;
    return static_cast<std::int32_t>(value);
}

void CEffectRegistry::Initialise(const std::wstring& versionText) {
    m_version = ParseVersion(versionText);
    if (m_version <= 9) {
        m_pictureFormat = L"wmf";
        m_pictureFilter = 4;
    } else {
        m_pictureFormat = L"png";
        m_pictureFilter = 2;
    }
    RegisterEffects();
    m_defaultEffect = CRefPtr<CTransitionEffect>(new CDefaultTransition());
}

void CEffectRegistry::RegisterEffects() {
    auto add = [this](std::int32_t code, CTransitionEffect* effect) {
        m_effects[code] = CRefPtr<CTransitionEffect>(effect);
    };
    auto each = [&add](std::initializer_list<std::int32_t> codes, auto make) {
        for (std::int32_t code : codes) add(code, make(code));
    };

    each({257, 258, 3844}, [](int) { return new CCutTransition(); });
    add(0, new CNoTransition());
    add(3841, new CFlashOnceTransition(0.1f));
    add(3842, new CFlashOnceTransition(0.5f));
    add(3843, new CFlashOnceTransition(1.0f));
    each({3332, 3335, 3336, 3329, 3331, 3330, 3333, 3334, 3344, 3341, 3343, 3342},
         [](int code) { return new CFlyTransition(code); });
    each({2820, 2817, 2819, 2818}, [](int code) { return new CWipeTransition(code); });
    each({3588, 3587, 3586, 3585}, [](int code) { return new CSplitTransition(code); });
    add(3356, new CSwivelTransition());
    each({3074, 3073}, [](int code) { return new CBoxTransition(code); });
    each({770, 769}, [](int code) { return new CBlindsTransition(code); });
    each({3351, 3353, 3355, 3352, 3354}, [](int code) { return new CStretchTransition(code); });
    each({1537, 1793, 2305, 2306}, [](int) { return new CFadeTransition(); });
    each({2565, 2567, 2566, 2568}, [](int code) { return new CStripsTransition(code); });
    each({3340, 3338, 3337, 3339, 1284, 1282, 1283, 1281, 1285, 1287, 1286, 1288},
         [](int code) { return new CCoverTransition(code); });
    each({2052, 2050, 2051, 2049, 2053, 2055, 2054, 2056}, [](int code) { return new CUncoverTransition(code); });
    add(3357, new CSpiralTransition());
    each({1025, 1026}, [](int) { return new CFadeTransition(); });
    each({3350, 3349, 3345, 3346, 3347, 3348}, [](int code) { return new CZoomTransition(code); });
}

CRefPtr<CTransitionEffect> CEffectRegistry::GetEffectForDraw(int draw) const {
    // rand() never goes below 0, but a caller's draw might.
    const long long count = static_cast<long long>(m_effects.size());
    long long index = static_cast<long long>(draw) % count;
    if (index < 0) index += count;
    auto it = m_effects.begin();
    std::advance(it, index);
    return it->second;
}

CRefPtr<CTransitionEffect> CEffectRegistry::GetEffect(int code) const {
    if (code == kRandomCode) return GetEffectForDraw(std::rand());
    auto it = m_effects.find(code);
    if (it != m_effects.end()) return it->second;
    return m_effects.at(kCutCode);
}

void CEffectRegistry::CreateGlobal(PowerPoint::_Application* application) {
    std::srand(TickCount());
    GlobalRegistry().Reset();
    if (!application) return;
    CRefPtr<CEffectRegistry> created(new CEffectRegistry(application));
    GlobalRegistry() = created;
}

CRefPtr<CEffectRegistry> CEffectRegistry::GetGlobal() { return GlobalRegistry(); }

CRefPtr<CEffectRegistry> CEffectRegistry::GetRequiredGlobal() {
    CRefPtr<CEffectRegistry> global = GlobalRegistry();
    if (!global) throw CBaseException(0, std::wstring());
    return global;
}

}  // namespace genswf
