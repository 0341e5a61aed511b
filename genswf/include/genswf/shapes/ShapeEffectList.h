#pragma once
// The timeline effects that target one shape, gathered by the shape's name.

#include <cstddef>
#include <memory>
#include <string>
#include <vector>

namespace genswf {

class CTimeLineEffect;

// The effects of one shape, in timeline order.
class CShapeEffectList {
public:
    static std::shared_ptr<CShapeEffectList> Create(const std::wstring& shapeName);
    explicit CShapeEffectList(std::wstring shapeName);
    virtual ~CShapeEffectList() = default;

    // Appends the effect when it targets this list's shape (names compared exactly).
    void AddIfTarget(const std::shared_ptr<CTimeLineEffect>& effect);
    std::size_t GetCount() const { return m_effects.size(); }
    const std::shared_ptr<CTimeLineEffect>& GetItem(std::size_t i) const { return m_effects.at(i); }
    const std::wstring& GetName() const { return m_name; }

private:
    std::vector<std::shared_ptr<CTimeLineEffect>> m_effects;
    std::wstring m_name;
};

}  // namespace genswf
