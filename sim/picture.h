// The unit's picture source and freeze switch.
#pragma once

#include <cstdint>
#include <span>

namespace sim {

struct unit;

struct picture_state {
};

// Returns false for a code that is not a picture command.
bool picture_command(unit& u, std::span<const std::uint8_t, 8> f);

}  // namespace sim
