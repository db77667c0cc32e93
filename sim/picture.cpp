#include "sim/picture.h"

#include <QCommandLineParser>
#include <QImage>
#include <QRegularExpression>

#include <algorithm>
#include <cstdio>

#include "devicelink/commands.h"
#include "sim/options.h"
#include "sim/unit.h"

namespace sim {

namespace {

using devicelink::code_picture_info;
using devicelink::code_line_read;
using devicelink::code_set_freeze;
constexpr std::size_t report_bytes = 64;

constexpr std::array<rgb, 8> bars{{
    {0xC0, 0xC0, 0xC0},
    {0xFF, 0xFF, 0x00},
    {0x00, 0xFF, 0xFF},
    {0x00, 0xFF, 0x00},
    {0xFF, 0x00, 0xFF},
    {0xFF, 0x00, 0x00},
    {0x00, 0x00, 0xFF},
    {0x00, 0x00, 0x00},
}};

void answer_picture_info(unit& u)
{
    picture_state& p = u.picture;
    p.next_line = 0;
    const std::array<std::uint8_t, 8> answer{
        static_cast<std::uint8_t>(p.h & 0xFF), static_cast<std::uint8_t>(p.h >> 8),
        static_cast<std::uint8_t>(p.v & 0xFF), static_cast<std::uint8_t>(p.v >> 8),
        p.fpga,                                 static_cast<std::uint8_t>(p.signal ? 1 : 0),
        0,                                      0};
    reply(u, answer);
}

// One line as a stream of reports × 64 bytes, red, green, blue per pixel.
void answer_line_read(unit& u, std::uint8_t reports)
{
    picture_state& p = u.picture;
    std::vector<std::uint8_t> line(reports * report_bytes, 0);
    if (p.signal) {
        for (std::size_t s = 0; s < line.size(); s += 3) {
            const rgb c = picture_pixel(p, static_cast<std::uint32_t>(s / 3), p.next_line);
            for (std::size_t k = 0; k < 3 && s + k < line.size(); ++k) {
                line[s + k] = c[k];
            }
        }
    }
    ++p.next_line;
    for (std::size_t r = 0; r < reports; ++r) {
        reply(u, std::span<const std::uint8_t>(line).subspan(r * report_bytes, report_bytes));
    }
}

void answer_set_freeze(unit& u, std::uint8_t state)
{
    picture_state& p = u.picture;
    p.frozen = state != 0;
    p.freeze_log.push_back(state);
    if (u.trace) {
        u.trace(p.frozen ? "picture frozen" : "picture live");
    }
    const std::array<std::uint8_t, 8> answer{state, 0, 0, 0, 0, 0, 0, 0};
    reply(u, answer);
}

}  // namespace

rgb pattern_pixel(std::uint32_t width, std::uint32_t height, std::uint32_t x, std::uint32_t y)
{
    if (x == 0 || y == 0 || x + 1 == width || y + 1 == height) {
        return {0xFF, 0xFF, 0xFF};
    }
    if (y < height / 2) {
        return bars[x * bars.size() / width];
    }
    const auto red = static_cast<std::uint8_t>(x * 255 / (width - 1));
    const auto green = static_cast<std::uint8_t>(y * 255 / (height - 1));
    return {red, green, static_cast<std::uint8_t>(255 - red)};
}

std::uint32_t picture_width(const picture_state& p)
{
    return p.h + 7u;
}

std::uint32_t picture_height(const picture_state& p)
{
    return p.v + 10u;
}

rgb picture_pixel(const picture_state& p, std::uint32_t x, std::uint32_t y)
{
    const std::uint32_t width = picture_width(p);
    const std::uint32_t height = picture_height(p);
    if (y >= height) {
        return {0, 0, 0};
    }
    if (x >= width) {
        return beyond_line;
    }
    // A file that no longer fits the counts (changed after loading) gives way to the pattern.
    if (p.file_pixels.size() != static_cast<std::size_t>(width) * height * 3) {
        return pattern_pixel(width, height, x, y);
    }
    const std::size_t at = (static_cast<std::size_t>(y) * width + x) * 3;
    return {p.file_pixels[at], p.file_pixels[at + 1], p.file_pixels[at + 2]};
}

bool load_picture_file(picture_state& p, const QString& path, QString& error)
{
    const QImage image(path);
    if (image.isNull()) {
        error = QString("cannot read a picture from %1").arg(path);
        return false;
    }
    if (image.width() < 7 || image.width() > 0xFFFF + 7 || image.height() < 10 || image.height() > 0xFFFF + 10) {
        error = QString("picture %1 is %2 x %3; it needs 7 to 65542 pixels by 10 to 65545 lines")
                    .arg(path)
                    .arg(image.width())
                    .arg(image.height());
        return false;
    }
    const QImage rgb888 = image.convertToFormat(QImage::Format_RGB888);
    const auto row_bytes = static_cast<std::size_t>(rgb888.width()) * 3;
    std::vector<std::uint8_t> pixels(row_bytes * rgb888.height());
    for (int y = 0; y < rgb888.height(); ++y) {
        std::copy_n(rgb888.constScanLine(y), row_bytes, pixels.begin() + static_cast<std::ptrdiff_t>(row_bytes * y));
    }
    p.file_pixels = std::move(pixels);
    p.h = static_cast<std::uint16_t>(rgb888.width() - 7);
    p.v = static_cast<std::uint16_t>(rgb888.height() - 10);
    return true;
}

bool picture_command(unit& u, std::span<const std::uint8_t, 8> f)
{
    switch (f[0]) {
    case code_picture_info:
        answer_picture_info(u);
        return true;
    case code_line_read:
        answer_line_read(u, f[1]);
        return true;
    case code_set_freeze:
        answer_set_freeze(u, f[1]);
        return true;
    default:
        return false;
    }
}

void add_picture_options(QCommandLineParser& parser)
{
    parser.addOptions({
        {"picture-size",
         "Counts the unit reports for its built-in test pattern, H x V; the picture is H+7 pixels by V+10 lines "
         "(default 633x470: 640 x 480).",
         "HxV"},
        {"picture", "Serve this image file instead of the test pattern; its size sets H and V.", "file"},
        {"fpga", "FPGA configuration reported (default 2, the one that allows capture).", "n"},
        {"no-signal", "Report no input signal."},
    });
}

bool apply_picture_options(const QCommandLineParser& parser, unit& u, QString& error)
{
    picture_state& p = u.picture;
    if (parser.isSet("picture-size") && parser.isSet("picture")) {
        error = "--picture-size and --picture exclude each other: a picture file brings its own size";
        return false;
    }
    if (parser.isSet("picture-size")) {
        static const QRegularExpression size_pattern("^(\\d{1,5})x(\\d{1,5})$");
        const QString text = parser.value("picture-size");
        const QRegularExpressionMatch m = size_pattern.match(text);
        const uint h = m.hasMatch() ? m.captured(1).toUInt() : 0x10000;
        const uint v = m.hasMatch() ? m.captured(2).toUInt() : 0x10000;
        if (h > 0xFFFF || v > 0xFFFF) {
            error = QString("bad value for --picture-size: %1 (expected HxV, each 0 to 65535)").arg(text);
            return false;
        }
        p.h = static_cast<std::uint16_t>(h);
        p.v = static_cast<std::uint16_t>(v);
    }
    if (parser.isSet("picture") && !load_picture_file(p, parser.value("picture"), error)) {
        return false;
    }
    if (parser.isSet("fpga")) {
        std::uint32_t n = 0;
        if (!option_number(parser, "fpga", 0xFF, n, error)) {
            return false;
        }
        p.fpga = static_cast<std::uint8_t>(n);
    }
    p.signal = !parser.isSet("no-signal");
    return true;
}

}  // namespace sim
