// The ruler, its levels and one level.

#include "genswf/ppt/PptRuler.h"

#include "PptHelpers.h"

namespace genswf {

// ---- CPptRuler ----

CPptRuler::CPptRuler(PowerPoint::Ruler* ruler) : m_pRuler(ruler) {}

CPptRuler::~CPptRuler() { m_levels.reset(); }

PowerPoint::RulerLevels* CPptRuler::GetLevelsPtr() {
    return ReadPtrOnce(m_pLevels, m_pRuler.Get(), &PowerPoint::Ruler::get_Levels, __FILE__, 66);
}

std::shared_ptr<CPptRulerLevels> CPptRuler::GetLevels() {
    if (!m_levels) m_levels = CreatePptRulerLevels(Adopt(GetLevelsPtr()));
    return m_levels;
}

// ---- CPptRulerLevels ----

CPptRulerLevels::CPptRulerLevels(PowerPoint::RulerLevels* levels) : m_pLevels(levels) {}

CPptRulerLevels::~CPptRulerLevels() {
    m_levelWrappers.clear();
    m_levelPtrs.clear();
}

LONG CPptRulerLevels::GetCount() {
    if (!m_countRead) {
        LONG count = 0;
        if (!m_pLevels || m_pLevels->get_Count(&count) < 0) ThrowPptException(__FILE__, 104);
        m_count = count < 0 ? 0 : count;
        m_countRead = true;
    }
    return m_count;
}

PowerPoint::RulerLevel* CPptRulerLevels::GetItemPtr(std::uint32_t i) {
    if (i >= static_cast<std::uint32_t>(GetCount())) return nullptr;
    CComPtr<PowerPoint::RulerLevel>& slot = m_levelPtrs[i];
    if (!slot) {
        CComPtr<PowerPoint::RulerLevel> level;
        if (m_pLevels->Item(static_cast<LONG>(i) + 1, &level) < 0 || !level) {
            m_levelPtrs.erase(i);
            ThrowPptException(__FILE__, 89);
        }
        slot = std::move(level);
    }
    return AddRefCopy(slot);
}

std::shared_ptr<CPptRulerLevel> CPptRulerLevels::GetItem(std::uint32_t i) {
    if (i >= static_cast<std::uint32_t>(GetCount())) return nullptr;
    auto found = m_levelWrappers.find(i);
    if (found != m_levelWrappers.end()) return found->second;
    std::shared_ptr<CPptRulerLevel> wrapper = CreatePptRulerLevel(Adopt(GetItemPtr(i)));
    m_levelWrappers[i] = wrapper;
    return wrapper;
}

// ---- CPptRulerLevel ----

CPptRulerLevel::CPptRulerLevel(PowerPoint::RulerLevel* level) : m_pLevel(level) {}

CPptRulerLevel::~CPptRulerLevel() = default;

float CPptRulerLevel::GetFirstMargin() {
    if (!m_firstMarginRead) {
        if (!m_pLevel || m_pLevel->get_FirstMargin(&m_firstMargin) < 0) ThrowPptException(__FILE__, 138);
        m_firstMarginRead = true;
    }
    return m_firstMargin;
}

float CPptRulerLevel::GetLeftMargin() {
    if (!m_leftMarginRead) {
        if (!m_pLevel || m_pLevel->get_LeftMargin(&m_leftMargin) < 0) ThrowPptException(__FILE__, 133);
        m_leftMarginRead = true;
    }
    return m_leftMargin;
}

std::shared_ptr<CPptRuler> CreatePptRuler(PowerPoint::Ruler* ruler) { return std::make_shared<CPptRuler>(ruler); }

std::shared_ptr<CPptRulerLevels> CreatePptRulerLevels(PowerPoint::RulerLevels* levels) {
    return std::make_shared<CPptRulerLevels>(levels);
}

std::shared_ptr<CPptRulerLevel> CreatePptRulerLevel(PowerPoint::RulerLevel* level) {
    return std::make_shared<CPptRulerLevel>(level);
}

}  // namespace genswf
