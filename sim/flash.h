// The unit's flash memory: a NOR flash of 16 MiB (24-bit addresses) that is
// erased in 4 KiB sectors and 32 KiB blocks, programmed eight bytes at a time
// after write_start, and summed on request.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

class QCommandLineParser;
class QString;

namespace sim {

struct unit;

inline constexpr std::uint32_t flash_size = 0x1000000;
inline constexpr std::uint32_t flash_sector_size = 0x1000;
inline constexpr std::uint32_t flash_block_size = 0x8000;

struct flash_state {
    std::uint32_t write_address = 0;  // where the next data byte goes

    // Status polls that answer "not ready" before the one that carries the sum.
    std::uint32_t polls_before_ready = 0;
    // Fault switches.
    bool never_ready = false;                      // the sum never becomes ready
    std::optional<std::uint32_t> corrupt_address;  // the byte programmed here comes out wrong

    // A checksum request in progress.
    bool checksum_pending = false;
    std::uint32_t polls_left = 0;
    std::uint16_t checksum = 0;

    std::vector<std::array<std::uint8_t, 8>> mcu_writes;  // every mcu_write frame received

    // zova3-sim: where the flash is loaded from at start and saved to at the end.
    std::string file;

    // The memory itself; empty until first touched (all bytes erased until then).
    std::vector<std::uint8_t> memory;
};

// One byte of the flash (0xFF where nothing was ever programmed).
std::uint8_t flash_byte(const unit& u, std::uint32_t address);
// count bytes from address on (wrapping at the end of the 24-bit space).
std::vector<std::uint8_t> flash_bytes(const unit& u, std::uint32_t address, std::uint32_t count);
// The 16-bit sum the unit answers for a checksum request.
std::uint16_t flash_sum(const unit& u, std::uint32_t address, std::uint32_t count);

// write_start and the data frames after it.
void flash_write_start(unit& u, std::span<const std::uint8_t, 8> f);
void flash_data(unit& u, std::span<const std::uint8_t, 8> f);
// The other flash commands; returns false for a code that is not one of them.
bool flash_command(unit& u, std::span<const std::uint8_t, 8> f);

// Reads a flash image saved by save_flash: bytes from address 0 on, the rest erased.
bool load_flash(unit& u, const std::string& path, QString& error);
// Writes the flash from address 0 up to its last programmed byte.
bool save_flash(const unit& u, const std::string& path);

// zova3-sim's options for this part of the unit.
void add_flash_options(QCommandLineParser& parser);
bool apply_flash_options(const QCommandLineParser& parser, unit& u, QString& error);
// Work to do when zova3-sim ends (saving the flash, when asked to).
void finish_flash(unit& u);

}  // namespace sim
