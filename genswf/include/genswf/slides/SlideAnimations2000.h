#pragma once
// A slide's animations without the timeline: the shapes in build order, the timing pass that
// lays their appearances one after the other, and the click-driven build sequences.

#include "genswf/movie/MovieTypes.h"
#include "genswf/utils/Utils.h"

#include <cstddef>
#include <memory>
#include <string>
#include <utility>
#include <vector>

namespace genswf {

class CMovie;
class CShape;
class CSlide;

// Build sequences of one slide as (start frame, end frame) pairs.
class CSequenceList {
public:
    explicit CSequenceList(int exportIndex) : m_exportIndex(exportIndex) {}
    virtual ~CSequenceList() = default;

    // Raises the last frame to end when end is greater.
    void Add(int start, int end);
    // One track: a stop at every sequence's end frame and, when labels are on, the start and
    // end labels prefix + i + suffix; written into layer at offset 0.
    void Write(CMovie* movie, const XmlElementPtr& layer, const std::wstring& prefix, const std::wstring& startSuffix,
               const std::wstring& endSuffix);

    // Off unless set: frames of the sequences carry labels.
    void SetLabels(bool on) { m_labels = on; }
    bool GetLabels() const { return m_labels; }
    std::size_t GetCount() const { return m_sequences.size(); }
    bool IsEmpty() const { return m_sequences.empty(); }
    int GetLastFrame() const { return m_lastFrame; }
    int GetExportIndex() const { return m_exportIndex; }
    const std::vector<std::pair<int, int>>& GetSequences() const { return m_sequences; }

private:
    std::vector<std::pair<int, int>> m_sequences;
    int m_lastFrame = 0;
    int m_exportIndex;
    bool m_labels = false;
};

class CSlideAnimations2000 : public CRefCounted {
public:
    // Sorts the slide's shapes into animated (by AnimationOrder, stable) and static ones.
    static CRefPtr<CSlideAnimations2000> Create(CSlide* slide);
    explicit CSlideAnimations2000(CSlide* slide);
    ~CSlideAnimations2000() override;

    // The timing pass; sets the animation length.
    void Export();

    std::shared_ptr<CShape> GetAnimatedShape(std::size_t i) const;
    const std::vector<std::shared_ptr<CShape>>& GetAnimatedShapes() const { return m_animatedShapes; }
    const std::vector<std::shared_ptr<CShape>>& GetStaticShapes() const { return m_staticShapes; }
    // Seconds; 0 until Export has run.
    float GetAnimationLength() const { return m_animationLength; }

private:
    CSlide* m_slide;
    std::vector<std::shared_ptr<CShape>> m_animatedShapes;
    std::vector<std::shared_ptr<CShape>> m_staticShapes;
    float m_animationLength = 0.0f;
};

}  // namespace genswf
