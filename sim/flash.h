// The unit's flash memory.
#pragma once

#include <cstdint>
#include <span>
#include <vector>

namespace sim {

struct unit;

struct flash_state {
    std::uint32_t write_address = 0;  // where the next data byte goes
};

// write_start and the data frames after it.
void flash_write_start(unit& u, std::span<const std::uint8_t, 8> f);
void flash_data(unit& u, std::span<const std::uint8_t, 8> f);
// The other flash commands; returns false for a code that is not one of them.
bool flash_command(unit& u, std::span<const std::uint8_t, 8> f);

}  // namespace sim
