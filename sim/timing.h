// The unit's timing area and its remote-control input.
#pragma once

#include <cstdint>
#include <span>

namespace sim {

struct unit;

struct timing_state {
};

// Returns false for a code that is not a timing or remote command.
bool timing_command(unit& u, std::span<const std::uint8_t, 8> f);

}  // namespace sim
