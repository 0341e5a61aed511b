// The small markup of "htmlText": font faces to rewrite and the text it shows.
#pragma once

#include <functional>
#include <optional>
#include <string>

namespace tarnquill {

// Rewrites the FACE attribute of every FONT tag through `map`; a face that `map` does not
// know is kept and reported through `unknown`.
std::string RewriteFontFaces(const std::string& html,
                             const std::function<std::optional<std::string>(const std::string&)>& map,
                             const std::function<void(const std::string&)>& unknown);

// The characters the markup shows: tags removed, entities decoded, line breaks dropped.
std::u32string HtmlPlainText(const std::string& html);

}  // namespace tarnquill
