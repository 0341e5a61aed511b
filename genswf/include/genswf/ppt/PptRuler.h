#pragma once
// The ruler of a text frame: the margins of its outline levels.

#include "Ppt.h"

#include <cstdint>
#include <map>
#include <memory>

namespace genswf {

class CPptRulerLevels;
class CPptRulerLevel;

class CPptRuler {
public:
    explicit CPptRuler(PowerPoint::Ruler* ruler);
    virtual ~CPptRuler();
    CPptRuler(const CPptRuler&) = delete;
    CPptRuler& operator=(const CPptRuler&) = delete;

    // AddRef'ed.
    PowerPoint::RulerLevels* GetLevelsPtr();
    std::shared_ptr<CPptRulerLevels> GetLevels();

private:
    CComPtr<PowerPoint::Ruler> m_pRuler;
    CComPtr<PowerPoint::RulerLevels> m_pLevels;
    std::shared_ptr<CPptRulerLevels> m_levels;
};

class CPptRulerLevels {
public:
    explicit CPptRulerLevels(PowerPoint::RulerLevels* levels);
    virtual ~CPptRulerLevels();
    CPptRulerLevels(const CPptRulerLevels&) = delete;
    CPptRulerLevels& operator=(const CPptRulerLevels&) = delete;

    LONG GetCount();
    // Level i (0-based), AddRef'ed; null when i is not below the count.
    PowerPoint::RulerLevel* GetItemPtr(std::uint32_t i);
    // The wrapper of level i, made once; empty when i is not below the count.
    std::shared_ptr<CPptRulerLevel> GetItem(std::uint32_t i);

private:
    CComPtr<PowerPoint::RulerLevels> m_pLevels;
    // Kept per index as asked; a map, so a count from the host never sizes memory by itself.
    std::map<std::uint32_t, CComPtr<PowerPoint::RulerLevel>> m_levelPtrs;
    std::map<std::uint32_t, std::shared_ptr<CPptRulerLevel>> m_levelWrappers;
    bool m_countRead = false;
    LONG m_count = 0;
};

class CPptRulerLevel {
public:
    explicit CPptRulerLevel(PowerPoint::RulerLevel* level);
    ~CPptRulerLevel();
    CPptRulerLevel(const CPptRulerLevel&) = delete;
    CPptRulerLevel& operator=(const CPptRulerLevel&) = delete;

    // Points.
    float GetFirstMargin();
    float GetLeftMargin();

private:
    CComPtr<PowerPoint::RulerLevel> m_pLevel;
    bool m_leftMarginRead = false;
    float m_leftMargin = 0.0f;
    bool m_firstMarginRead = false;
    float m_firstMargin = 0.0f;
};

std::shared_ptr<CPptRuler> CreatePptRuler(PowerPoint::Ruler* ruler);
std::shared_ptr<CPptRulerLevels> CreatePptRulerLevels(PowerPoint::RulerLevels* levels);
std::shared_ptr<CPptRulerLevel> CreatePptRulerLevel(PowerPoint::RulerLevel* level);

}  // namespace genswf
