// The unit's timing area and its remote-control input.
#pragma once

#include <array>
#include <cstdint>
#include <span>
#include <string>
#include <vector>

class QCommandLineParser;
class QString;

namespace sim {

struct unit;

// Where the unit keeps its timing registers unless told otherwise: the low
// byte leaves room for the 80 addresses the adjustment tool reads.
inline constexpr std::uint16_t default_timing_base = 0x0140;

// Fourteen parameters of a 640 x 480 input shown at 800 x 600, laid out from
// base; the bytes between them hold reserved register values, never zero.
std::vector<std::uint8_t> default_timing_area(std::uint16_t base);

struct timing_block {
    std::uint16_t address = 0;
    std::array<std::uint8_t, 4> bytes{};
};

struct timing_state {
    std::uint16_t base = default_timing_base;
    bool in_timing_mode = false;
    // The register memory as written, one byte per 16-bit address.
    std::vector<std::uint8_t> area = default_timing_area(default_timing_base);
    // What the unit runs with: the area as of the last apply.
    std::vector<std::uint8_t> active = area;
    std::vector<timing_block> writes;   // every timing_write, in order
    std::vector<timing_block> applies;  // every timing_apply, with the block its frame carried
    std::uint32_t mode_enters = 0;
    std::uint32_t mode_leaves = 0;
};

// Moves the timing area to base and gives it the default contents.
void place_timing_area(timing_state& t, std::uint16_t base);
// The area byte at base + offset, the address being a 16-bit sum.
std::uint8_t& timing_byte(timing_state& t, std::size_t offset);
std::uint8_t timing_byte(const timing_state& t, std::size_t offset);
// A parameter as the adjustment tool lays it out: low byte at offset, high
// byte two further on (12-bit); set_timing_value12 writes both.
unsigned timing_value12(const timing_state& t, std::size_t low_offset);
void set_timing_value12(timing_state& t, std::size_t low_offset, unsigned value);

// Returns false for a code that is not a timing or remote command.
bool timing_command(unit& u, std::span<const std::uint8_t, 8> f);

// zova3-sim's options for this part of the unit.
void add_timing_options(QCommandLineParser& parser);
bool apply_timing_options(const QCommandLineParser& parser, unit& u, QString& error);

}  // namespace sim
