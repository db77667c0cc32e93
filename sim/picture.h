// The unit's picture source and freeze switch.
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

using rgb = std::array<std::uint8_t, 3>;  // red, green, blue

struct picture_state {
    // The counts the unit reports: the picture is (h + 7) pixels by (v + 10) lines.
    std::uint16_t h = 633;
    std::uint16_t v = 470;
    std::uint8_t fpga = 2;  // 2 is the configuration that allows capture
    bool signal = true;
    bool frozen = false;
    // Byte 1 of every set_freeze, in order.
    std::vector<std::uint8_t> freeze_log;
    // The line that the next line_read answers; picture_info starts again at 0.
    std::uint32_t next_line = 0;
    // A picture loaded from a file (red, green, blue per pixel, rows top
    // down); empty, or of another size than h and v give: the built-in test pattern.
    std::vector<std::uint8_t> file_pixels;
};

// The colour of what the unit sends beyond the active width of a line, so
// that a program that keeps those bytes shows it.
inline constexpr rgb beyond_line{0xFF, 0x00, 0xFF};

// The built-in test pattern of a width × height picture: a one-pixel white
// border; above the middle eight colour bars; below it red rising to the
// right, green rising downwards and blue falling to the right.
rgb pattern_pixel(std::uint32_t width, std::uint32_t height, std::uint32_t x, std::uint32_t y);

std::uint32_t picture_width(const picture_state& p);
std::uint32_t picture_height(const picture_state& p);
// The pixel the unit sends at (x, y): the pattern or the file, beyond_line
// to the right of the picture, black below it.
rgb picture_pixel(const picture_state& p, std::uint32_t x, std::uint32_t y);

// Replaces the picture with an image file (any format Qt reads); sets h and
// v from its size. False, with the reason in error, when it cannot be used.
bool load_picture_file(picture_state& p, const QString& path, QString& error);

// Returns false for a code that is not a picture command.
bool picture_command(unit& u, std::span<const std::uint8_t, 8> f);

// zova3-sim's options for this part of the unit.
void add_picture_options(QCommandLineParser& parser);
bool apply_picture_options(const QCommandLineParser& parser, unit& u, QString& error);

}  // namespace sim
