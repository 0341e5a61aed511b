#include "genswf/utils/Exceptions.h"

#include "genswf/utils/Utils.h"

#include <cstring>

namespace genswf {

namespace {

// Builds compiled outside the usual tree may still carry an absolute path: cut it back to
// the part below the repository root so messages name the file the same way everywhere.
std::string RepositoryRelative(const char* sourceFile) {
    std::string path = sourceFile ? sourceFile : "";
    static const char* const kRoots[] = {"/genswf/",       "/addin/",        "/platform/",         "/base/",
                                         "/libpptparser/", "/compoundfile/", "/libimageanalyzer/", "/tarnquill/",
                                         "/tools/",        "/tests/"};
    if (!path.empty() && path[0] == '/') {
        for (const char* root : kRoots) {
            const std::size_t at = path.rfind(root);
            if (at != std::string::npos) return path.substr(at + 1);
        }
    }
    return path;
}

}  // namespace

std::wstring SourceLocationSuffix(const char* sourceFile, int line) {
    return L" in file " + MultiByteToWide(RepositoryRelative(sourceFile), CP_ACP) + L" at line " + IntToWString(line);
}

std::wstring LocatedMessage(const std::wstring& text, const char* sourceFile, int line) {
    return text + SourceLocationSuffix(sourceFile, line);
}

std::wstring PPTExceptionMessage(const char* sourceFile, int line) {
    return L"PPT Exception" + SourceLocationSuffix(sourceFile, line);
}

}  // namespace genswf
