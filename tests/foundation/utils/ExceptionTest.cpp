#include "genswf/utils/Exceptions.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>

using namespace genswf;

namespace {

// The order in which the progress dialog tells the family apart.
std::wstring Classify(const std::function<void()>& thrower) {
    try {
        thrower();
    } catch (const CXml2SwfException& e) {
        return L"swf:" + e.GetMessage();
    } catch (const CInterruptedException&) {
        return L"cancel";
    } catch (const CConvertException& e) {
        return L"convert:" + e.GetMessage();
    } catch (const CPPTException& e) {
        return L"ppt:" + e.GetMessage();
    } catch (const CBaseException& e) {
        return L"base:" + e.GetMessage();
    } catch (...) {
        return L"internal";
    }
    return L"none";
}

TEST(Exceptions, CodesAndMessages) {
    EXPECT_EQ(CBaseException(7, L"m").GetCode(), 7);
    EXPECT_EQ(CConvertException(L"x").GetCode(), 1);
    EXPECT_EQ(CPPTException().GetCode(), 0);
    EXPECT_EQ(CPPTException().GetMessage(), L"");
    EXPECT_EQ(CPPTException(L"y").GetCode(), 1);
    EXPECT_EQ(CInterruptedException().GetCode(), 1);
    EXPECT_EQ(CXml2SwfException(L"z").GetCode(), 1);
    EXPECT_EQ(CSwfExtractionException().GetMessage(), L"");

    CBaseException copy = CXml2SwfException(L"copied");
    EXPECT_EQ(copy.GetMessage(), L"copied");
}

TEST(Exceptions, ReceiverOrder) {
    EXPECT_EQ(Classify([] { throw CInterruptedException(); }), L"cancel");
    EXPECT_EQ(Classify([] { throw CConvertException(L""); }), L"convert:");
    EXPECT_EQ(Classify([] { throw CSwfExtractionException(); }), L"base:");
    EXPECT_EQ(Classify([] { throw CXml2SwfException(L"Cannot put ignore errors"); }), L"swf:Cannot put ignore errors");
    EXPECT_EQ(Classify([] { throw 42; }), L"internal");
}

TEST(Exceptions, MessagesNameTheSourceRelativeToTheRepository) {
    const int line = __LINE__ + 1;
    const std::wstring message = Classify([] { THROW_PPT_EXCEPTION(); });
    EXPECT_EQ(message,
              L"ppt:PPT Exception in file tests/foundation/utils/ExceptionTest.cpp at line " + std::to_wstring(line));

    EXPECT_EQ(LocatedMessage(L"Cannot open image file /t/a.png", "/home/me/src/genswf/src/images.cpp", 12),
              L"Cannot open image file /t/a.png in file genswf/src/images.cpp at line 12");
    EXPECT_EQ(SourceLocationSuffix("addin/x.cpp", -1), L" in file addin/x.cpp at line -1");
}

}  // namespace
