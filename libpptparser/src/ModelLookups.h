#pragma once
// Child lookups of the model: a required record that is missing stops the parse, with the
// location of the lookup in the message.

#include <string>

#include "libpptparser/PptParserException.h"
#include "libpptparser/PptRecord.h"

// `what` names the missing record for the reader of the message.
#define PPT_REQUIRE(expression, what)                                                                  \
    [&]() {                                                                                            \
        auto found_ = (expression);                                                                    \
        if (!found_) PPT_PARSER_THROW(std::wstring(L"Error getting child from container: ") + (what)); \
        return found_;                                                                                 \
    }()
