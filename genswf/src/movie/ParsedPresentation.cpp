#include "genswf/movie/ParsedPresentation.h"

#include "genswf/utils/Exceptions.h"
#include "genswf/utils/Utils.h"
#include "libpptparser/PptParserException.h"
#include "libpptparser/StreamParser.h"

namespace genswf {

std::shared_ptr<libpptparser::CPresentation> ParseSavedPresentation(const std::wstring& path) {
    try {
        libpptparser::CStreamParser parser(NativePath(path));
        parser.Parse();
        return parser.GetPresentation();
    } catch (const libpptparser::CPptParserException& e) {
        throw CBaseException(kParseFailureCode, L"The presentation cannot be read: " + e.GetMessage());
    }
}

}  // namespace genswf
