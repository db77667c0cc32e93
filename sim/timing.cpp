#include "sim/timing.h"

#include <QCommandLineParser>

#include <algorithm>
#include <utility>

#include "devicelink/commands.h"
#include "sim/options.h"
#include "sim/unit.h"

namespace sim {

namespace {

constexpr std::size_t address_space = 0x10000;

using devicelink::code_timing_mode;
using devicelink::code_timing_read;
using devicelink::code_timing_write;
using devicelink::code_timing_apply;
using devicelink::code_remote_key;

struct default_parameter {
    std::size_t low_offset;
    bool twelve_bits;
    unsigned value;
};

constexpr std::array<default_parameter, 14> default_parameters{{
    {2, true, 144},    // h2pos
    {6, true, 35},     // v2pos
    {10, true, 640},   // h2size
    {14, true, 480},   // v2size
    {18, false, 16},   // clamp_start
    {20, false, 24},   // clamp_width
    {40, true, 1048},  // hst
    {44, true, 601},   // vst
    {48, false, 128},  // hsw
    {50, false, 4},    // vsw
    {54, true, 216},   // ph1pos
    {58, true, 800},   // ph1size
    {62, true, 27},    // pv1pos
    {66, true, 600},   // pv1size
}};

// The size of the register block the tool reads.
constexpr std::size_t register_block = 80;

std::size_t address(std::uint16_t base, std::size_t offset)
{
    return (base + offset) % address_space;
}

std::uint16_t frame_address(std::span<const std::uint8_t, 8> f)
{
    return static_cast<std::uint16_t>(f[2] | (f[3] << 8));
}

timing_block block_of(std::span<const std::uint8_t, 8> f)
{
    timing_block b;
    b.address = frame_address(f);
    std::copy(f.begin() + 4, f.end(), b.bytes.begin());
    return b;
}

// Commands whose reply is not examined still get one, so that the program's
// read does not wait out its time-out.
void acknowledge(unit& u, std::uint8_t code)
{
    const std::array<std::uint8_t, 1> ack{code};
    reply(u, ack);
}

}  // namespace

std::vector<std::uint8_t> default_timing_area(std::uint16_t base)
{
    std::vector<std::uint8_t> area(address_space, 0);
    for (std::size_t k = 0; k < register_block; ++k) {
        area[address(base, k)] = static_cast<std::uint8_t>(0xC0 | (k & 0x3F));
    }
    for (const default_parameter& p : default_parameters) {
        area[address(base, p.low_offset)] = static_cast<std::uint8_t>(p.value & 0xFF);
        if (p.twelve_bits) {
            area[address(base, p.low_offset + 2)] = static_cast<std::uint8_t>(p.value >> 8);
        }
    }
    return area;
}

void place_timing_area(timing_state& t, std::uint16_t base)
{
    t.base = base;
    t.area = default_timing_area(base);
    t.active = t.area;
}

std::uint8_t& timing_byte(timing_state& t, std::size_t offset)
{
    return t.area[address(t.base, offset)];
}

std::uint8_t timing_byte(const timing_state& t, std::size_t offset)
{
    return t.area[address(t.base, offset)];
}

unsigned timing_value12(const timing_state& t, std::size_t low_offset)
{
    return timing_byte(t, low_offset) + 256u * timing_byte(t, low_offset + 2);
}

void set_timing_value12(timing_state& t, std::size_t low_offset, unsigned value)
{
    timing_byte(t, low_offset) = static_cast<std::uint8_t>(value & 0xFF);
    timing_byte(t, low_offset + 2) = static_cast<std::uint8_t>((value >> 8) & 0xFF);
}

bool timing_command(unit& u, std::span<const std::uint8_t, 8> f)
{
    timing_state& t = u.timing;
    switch (f[0]) {
    case code_timing_mode:
        if (f[1] == 0x01) {
            t.in_timing_mode = true;
            ++t.mode_enters;
            const std::array<std::uint8_t, 2> base{static_cast<std::uint8_t>(t.base & 0xFF),
                                                   static_cast<std::uint8_t>(t.base >> 8)};
            reply(u, base);
        } else {
            t.in_timing_mode = false;
            ++t.mode_leaves;
            acknowledge(u, f[0]);
        }
        return true;
    case code_timing_read: {
        std::array<std::uint8_t, 8> bytes{};
        for (std::size_t i = 0; i < bytes.size(); ++i) {
            bytes[i] = t.area[address(frame_address(f), i)];
        }
        reply(u, bytes);
        return true;
    }
    case code_timing_write: {
        const timing_block b = block_of(f);
        for (std::size_t i = 0; i < b.bytes.size(); ++i) {
            t.area[address(b.address, i)] = b.bytes[i];
        }
        t.writes.push_back(b);
        acknowledge(u, f[0]);
        return true;
    }
    case code_timing_apply:
        t.active = t.area;
        t.applies.push_back(block_of(f));
        acknowledge(u, f[0]);
        return true;
    case code_remote_key:
        u.remote_keys.push_back(f[1]);
        acknowledge(u, f[0]);
        return true;
    default:
        return false;
    }
}

void add_timing_options(QCommandLineParser& parser)
{
    parser.addOption({"timing-base",
                      QString("Address of the timing area, reported when timing mode is entered (default 0x%1).")
                          .arg(default_timing_base, 4, 16, QChar('0')),
                      "address"});
}

bool apply_timing_options(const QCommandLineParser& parser, unit& u, QString& error)
{
    if (!parser.isSet("timing-base")) {
        return true;
    }
    std::uint32_t base = 0;
    if (!option_number(parser, "timing-base", 0xFFFF, base, error)) {
        return false;
    }
    place_timing_area(u.timing, static_cast<std::uint16_t>(base));
    return true;
}

}  // namespace sim
