// AVM1 byte code for the action elements.
#pragma once

#include "Model.h"

#include <cstdint>
#include <vector>

namespace tarnquill {

// The action records followed by the end-of-actions byte.
std::vector<std::uint8_t> EncodeActions(const std::vector<Action>& actions);

}  // namespace tarnquill
