// Reads a parsed movie description (libxml2 tree) into the model, checking every value.
#pragma once

#include "Model.h"

struct _xmlDoc;

namespace tarnquill {

Movie ReadMovie(_xmlDoc* document);

}  // namespace tarnquill
