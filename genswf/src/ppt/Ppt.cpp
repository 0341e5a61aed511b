// The shared wrapper operations.

#include "genswf/ppt/Ppt.h"

namespace genswf {

void ThrowPptException(const char* sourceFile, int line) { throw CPPTException(PPTExceptionMessage(sourceFile, line)); }

namespace {
template <class I>
I* Query(IUnknown* p) {
    if (!p) return nullptr;
    I* result = nullptr;
    if (p->QueryInterface(UuidOf<I>(), reinterpret_cast<void**>(&result)) < 0) return nullptr;
    return result;
}
}  // namespace

PowerPoint::Shape* QueryShape(IUnknown* p) { return Query<PowerPoint::Shape>(p); }
PowerPoint::TextFrame* QueryTextFrame(IUnknown* p) { return Query<PowerPoint::TextFrame>(p); }
PowerPoint::TextRange* QueryTextRange(IUnknown* p) { return Query<PowerPoint::TextRange>(p); }
PowerPoint::ActionSetting* QueryActionSetting(IUnknown* p) { return Query<PowerPoint::ActionSetting>(p); }

}  // namespace genswf
