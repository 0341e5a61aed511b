// The version, picture format and entry-effect registry: version texts, the process-wide
// object's lifecycle and the code-to-effect rules.

#include "genswf/animation/EffectRegistry.h"
#include "genswf/animation/EntryEffects.h"
#include "genswf/utils/Exceptions.h"
#include "powerpoint/host/PowerPointHost.h"

#include <gtest/gtest.h>

#include <climits>
#include <set>
#include <typeinfo>

using namespace genswf;
using PowerPoint::Host::CHostDocument;

namespace {

struct VersionCase {
    const wchar_t* text;
    int version;
    const wchar_t* format;
    int filter;
    bool timeline, version9, notVersion10;
};

class VersionTest : public ::testing::TestWithParam<VersionCase> {};

TEST_P(VersionTest, DecidesFormatAndAnimationModel) {
    const VersionCase& c = GetParam();
    CRefPtr<CEffectRegistry> registry(new CEffectRegistry(std::wstring(c.text)));
    EXPECT_EQ(c.version, registry->GetVersion());
    EXPECT_EQ(std::wstring(c.format), registry->GetPictureFormat());
    EXPECT_EQ(c.filter, registry->GetPictureFilter());
    EXPECT_EQ(c.timeline, registry->HasTimeLine());
    EXPECT_EQ(c.version9, registry->IsVersion9());
    EXPECT_EQ(c.notVersion10, registry->IsNotVersion10());
}

INSTANTIATE_TEST_SUITE_P(
    Texts, VersionTest,
    ::testing::Values(
        VersionCase{L"11.0", 11, L"png", 2, true, false, true}, VersionCase{L"9.0", 9, L"wmf", 4, false, true, true},
        VersionCase{L"10.0", 10, L"png", 2, true, false, false}, VersionCase{L"8.0", 8, L"wmf", 4, false, false, true},
        VersionCase{L"", 0, L"wmf", 4, false, false, true}, VersionCase{L"garbage", 0, L"wmf", 4, false, false, true},
        VersionCase{L".9", 0, L"wmf", 4, false, false, true}, VersionCase{L"  12.0", 12, L"png", 2, true, false, true},
        VersionCase{L"-11", -11, L"wmf", 4, false, false, true},
        VersionCase{L"10abc", 10, L"png", 2, true, false, false},
        // Far beyond 32 bits: capped, never wrapped into a small or negative number.
        VersionCase{L"99999999999999999999.0", INT_MAX, L"png", 2, true, false, true},
        VersionCase{L"-99999999999999999999", INT_MIN, L"wmf", 4, false, false, true}),
    [](const ::testing::TestParamInfo<VersionCase>& info) { return "case" + std::to_string(info.index); });

// Every code of the registration table and the class that must serve it.
struct CodeClass {
    std::initializer_list<int> codes;
    const std::type_info& type;
    float duration;
    bool flag;
};

const CodeClass kTable[] = {
    {{257, 258, 3844}, typeid(CCutTransition), 0.0f, false},
    {{0}, typeid(CNoTransition), 0.0f, false},
    {{3841}, typeid(CFlashOnceTransition), 0.1f, false},
    {{3842}, typeid(CFlashOnceTransition), 0.5f, false},
    {{3843}, typeid(CFlashOnceTransition), 1.0f, false},
    {{3329, 3330, 3331, 3332, 3333, 3334, 3335, 3336}, typeid(CFlyTransition), 0.5f, false},
    {{3341, 3342, 3343, 3344}, typeid(CFlyTransition), 5.0f, false},
    {{2817, 2818, 2819, 2820}, typeid(CWipeTransition), 0.5f, true},
    {{3585, 3586, 3587, 3588}, typeid(CSplitTransition), 0.5f, true},
    {{3356}, typeid(CSwivelTransition), 5.0f, false},
    {{3073, 3074}, typeid(CBoxTransition), 0.5f, true},
    {{769, 770}, typeid(CBlindsTransition), 0.5f, true},
    {{3351, 3352, 3353, 3354, 3355}, typeid(CStretchTransition), 0.5f, false},
    {{1025, 1026, 1537, 1793, 2305, 2306}, typeid(CFadeTransition), 0.5f, false},
    {{2565, 2566, 2567, 2568}, typeid(CStripsTransition), 0.5f, true},
    {{3337, 3338, 3339, 3340, 1281, 1282, 1283, 1284, 1285, 1286, 1287, 1288}, typeid(CCoverTransition), 0.5f, false},
    {{2049, 2050, 2051, 2052, 2053, 2054, 2055, 2056}, typeid(CUncoverTransition), 0.5f, true},
    {{3357}, typeid(CSpiralTransition), 1.0f, true},
    {{3345, 3346, 3347, 3348, 3349, 3350}, typeid(CZoomTransition), 0.5f, false},
};

TEST(EffectRegistry, EveryCodeHasItsOwnObjectOfItsClass) {
    CEffectRegistry registry(L"9.0");
    std::set<const CTransitionEffect*> seen;
    std::size_t codes = 0;
    for (const CodeClass& row : kTable) {
        for (int code : row.codes) {
            SCOPED_TRACE(code);
            CRefPtr<CTransitionEffect> effect = registry.GetEffect(code);
            ASSERT_TRUE(effect);
            EXPECT_EQ(row.type, typeid(*effect));
            EXPECT_FLOAT_EQ(row.duration, effect->GetDuration());
            EXPECT_EQ(row.flag, effect->GetClassFlag());
            EXPECT_TRUE(seen.insert(effect.Get()).second) << "shared with another code";
            ++codes;
        }
    }
    EXPECT_EQ(74u, codes);
    EXPECT_EQ(74u, registry.GetEffectCount());
    // The default effect is no entry of the map.
    EXPECT_EQ(typeid(CDefaultTransition), typeid(*registry.GetDefaultEffect()));
    EXPECT_EQ(0u, seen.count(registry.GetDefaultEffect().Get()));
}

TEST(EffectRegistry, UnknownCodesGetTheCut) {
    CEffectRegistry registry(L"11.0");
    CRefPtr<CTransitionEffect> cut = registry.GetEffect(257);
    for (int code : {2561, 2564, 3845, -1, 1, 512, 514, INT_MAX, INT_MIN}) {
        SCOPED_TRACE(code);
        EXPECT_EQ(cut.Get(), registry.GetEffect(code).Get());
    }
    EXPECT_NE(cut.Get(), registry.GetEffect(3844).Get());
    EXPECT_EQ(typeid(CNoTransition), typeid(*registry.GetEffect(0)));
}

TEST(EffectRegistry, RandomWalksTheCodesInAscendingOrder) {
    CEffectRegistry registry(L"11.0");
    EXPECT_EQ(registry.GetEffect(0).Get(), registry.GetEffectForDraw(0).Get());
    EXPECT_EQ(registry.GetEffect(257).Get(), registry.GetEffectForDraw(1).Get());
    EXPECT_EQ(registry.GetEffect(3844).Get(), registry.GetEffectForDraw(73).Get());
    EXPECT_EQ(registry.GetEffect(0).Get(), registry.GetEffectForDraw(74).Get());
    EXPECT_EQ(registry.GetEffect(3844).Get(), registry.GetEffectForDraw(-1).Get());
    // 513 itself always gives a registered entry.
    std::set<const CTransitionEffect*> registered;
    for (const auto& entry : registry.GetEffects()) registered.insert(entry.second.Get());
    for (int i = 0; i < 200; ++i) EXPECT_EQ(1u, registered.count(registry.GetEffect(513).Get()));
}

TEST(EffectRegistry, ReferencesAreCounted) {
    CRefPtr<CEffectRegistry> registry(new CEffectRegistry(L"11.0"));
    CRefPtr<CTransitionEffect> effect = registry->GetEffect(1793);
    EXPECT_EQ(2, effect->GetRefCount());  // the map's and ours
    registry.Reset();
    EXPECT_EQ(1, effect->GetRefCount());
    EXPECT_FLOAT_EQ(0.5f, effect->GetDuration());
}

class GlobalRegistryTest : public ::testing::Test {
protected:
    void TearDown() override { CEffectRegistry::CreateGlobal(nullptr); }
};

TEST_F(GlobalRegistryTest, AbsentUntilCreatedAndReplacedByEveryExport) {
    CEffectRegistry::CreateGlobal(nullptr);
    EXPECT_FALSE(CEffectRegistry::GetGlobal());
    try {
        CEffectRegistry::GetRequiredGlobal();
        ADD_FAILURE() << "no exception";
    } catch (const CBaseException& e) {
        EXPECT_EQ(0, e.GetCode());
        EXPECT_TRUE(e.GetMessage().empty());
    }

    auto doc = CHostDocument::Create();
    doc->version = L"9.0";
    CEffectRegistry::CreateGlobal(doc->Application());
    CRefPtr<CEffectRegistry> first = CEffectRegistry::GetGlobal();
    ASSERT_TRUE(first);
    EXPECT_EQ(9, first->GetVersion());
    EXPECT_EQ(L"wmf", first->GetPictureFormat());
    CRefPtr<CTransitionEffect> heldEffect = first->GetEffect(2817);
    first.Reset();

    doc->version = L"11.0";
    CEffectRegistry::CreateGlobal(doc->Application());
    CRefPtr<CEffectRegistry> second = CEffectRegistry::GetRequiredGlobal();
    EXPECT_EQ(11, second->GetVersion());
    EXPECT_TRUE(second->HasTimeLine());
    EXPECT_NE(heldEffect.Get(), second->GetEffect(2817).Get());
    // The first export's effect outlives its registry.
    EXPECT_EQ(1, heldEffect->GetRefCount());
    EXPECT_TRUE(heldEffect->GetClassFlag());

    CEffectRegistry::CreateGlobal(nullptr);
    EXPECT_FALSE(CEffectRegistry::GetGlobal());
    EXPECT_EQ(1, second->GetRefCount());
}

TEST_F(GlobalRegistryTest, FailedVersionReadLeavesNoRegistry) {
    auto doc = CHostDocument::Create();
    CEffectRegistry::CreateGlobal(doc->Application());
    ASSERT_TRUE(CEffectRegistry::GetGlobal());
    doc->ResetCalls();

    doc->Fail("Application.get_Version", E_FAIL);
    EXPECT_THROW(CEffectRegistry::CreateGlobal(doc->Application()), CPPTException);
    EXPECT_FALSE(CEffectRegistry::GetGlobal());
    EXPECT_EQ(1, doc->Calls("Application.get_Version"));

    doc->ClearFaults();
    CEffectRegistry::CreateGlobal(doc->Application());
    ASSERT_TRUE(CEffectRegistry::GetGlobal());
    EXPECT_EQ(11, CEffectRegistry::GetGlobal()->GetVersion());
}

}  // namespace
