#pragma once
// The timeline effects that target one shape, gathered by the shape's name.

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace genswf {

class CTimeLineEffect;

// The effects of one shape, in timeline order.
class CShapeEffectList {
public:
    static std::shared_ptr<CShapeEffectList> Create(const std::wstring& shapeName, std::int32_t shapeId = 0);
    explicit CShapeEffectList(std::wstring shapeName, std::int32_t shapeId = 0);
    virtual ~CShapeEffectList() = default;

    // Appends the effect when it targets this list's shape: by Id when both know it, since a
    // slide may hold two shapes of one name; else by name, compared exactly.
    void AddIfTarget(const std::shared_ptr<CTimeLineEffect>& effect);
    std::size_t GetCount() const { return m_effects.size(); }
    const std::shared_ptr<CTimeLineEffect>& GetItem(std::size_t i) const { return m_effects.at(i); }
    const std::wstring& GetName() const { return m_name; }
    std::int32_t GetShapeId() const { return m_shapeId; }

private:
    std::vector<std::shared_ptr<CTimeLineEffect>> m_effects;
    std::wstring m_name;
    std::int32_t m_shapeId;
};

}  // namespace genswf
