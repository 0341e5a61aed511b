#pragma once
// Reads the saved copy of the presentation into the parser's model. A file the parser
// cannot read ends in the genswf family with the parser's own reason, so the user sees why.

#include <memory>
#include <string>

namespace libpptparser {
class CPresentation;
}

namespace genswf {

// Code of the CBaseException thrown when the saved presentation cannot be parsed.
constexpr int kParseFailureCode = 2;

std::shared_ptr<libpptparser::CPresentation> ParseSavedPresentation(const std::wstring& path);

}  // namespace genswf
