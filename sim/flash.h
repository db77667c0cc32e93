// The unit's flash memory.
#pragma once

#include <cstdint>
#include <span>
#include <string>

class QCommandLineParser;
class QString;
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

// zova3-sim's options for this part of the unit.
void add_flash_options(QCommandLineParser& parser);
bool apply_flash_options(const QCommandLineParser& parser, unit& u, QString& error);
// Work to do when zova3-sim ends (saving the flash, when asked to).
void finish_flash(unit& u);

}  // namespace sim
