#pragma once

#include <array>
#include <cstdint>

#include "store/schema.h"

namespace vpl::core {

// One proposition's answers: how many respondents chose each point of the scale, DT, D
// (contrary), I (neutral), C and CT (favourable).
using Counts = std::array<std::int32_t, store::kLikertPoints>;

}  // namespace vpl::core
