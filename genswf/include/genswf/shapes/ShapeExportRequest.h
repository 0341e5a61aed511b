#pragma once
// What one export of a basic shape (or of its text) is asked to do: plainly, or with one
// effect of the slide's timeline.

#include <memory>

namespace genswf {

class CTimeLineEffect;

class CShapeExportRequest {
public:
    explicit CShapeExportRequest(std::shared_ptr<CTimeLineEffect> effect = nullptr) : m_effect(std::move(effect)) {}
    virtual ~CShapeExportRequest() = default;

    // Null: the plain export.
    const std::shared_ptr<CTimeLineEffect>& GetEffect() const { return m_effect; }
    void SetEffect(const std::shared_ptr<CTimeLineEffect>& effect) { m_effect = effect; }

private:
    std::shared_ptr<CTimeLineEffect> m_effect;
};

class CTextExportRequest {
public:
    explicit CTextExportRequest(std::shared_ptr<CTimeLineEffect> effect = nullptr) : m_effect(std::move(effect)) {}
    virtual ~CTextExportRequest() = default;

    const std::shared_ptr<CTimeLineEffect>& GetEffect() const { return m_effect; }
    void SetEffect(const std::shared_ptr<CTimeLineEffect>& effect) { m_effect = effect; }

private:
    std::shared_ptr<CTimeLineEffect> m_effect;
};

}  // namespace genswf
