#include "devicelink/commands.h"
#include "sim/unit.h"

#include <algorithm>
#include <cstdio>

namespace sim {

namespace {

using devicelink::code_write_start;
using devicelink::code_presence_query;

// The unit's answer to the presence query: its model and firmware version.
void answer_presence(unit& u)
{
    const std::array<std::uint8_t, 8> answer{'Z', '3', static_cast<std::uint8_t>(u.opt.version & 0xFF),
                                             static_cast<std::uint8_t>(u.opt.version >> 8), 0x01, 0, 0, 0};
    reply(u, answer);
}

bool answering(const unit& u)
{
    return !u.opt.silent && (u.opt.stop_after_frames == 0 || u.frames_received <= u.opt.stop_after_frames);
}

}  // namespace

void reply(unit& u, std::span<const std::uint8_t> bytes)
{
    if (!answering(u)) {
        return;
    }
    ++u.replies_made;
    if (u.opt.drop_every_nth_reply != 0 && u.replies_made % u.opt.drop_every_nth_reply == 0) {
        return;
    }
    report r(std::max<std::size_t>(u.opt.input_length, 1), 0);
    std::copy_n(bytes.begin(), std::min(bytes.size(), r.size() - 1), r.begin() + 1);
    u.replies.push_back(std::move(r));
}

void receive_output_report(unit& u, std::span<const std::uint8_t> output_report)
{
    frame f{};
    if (output_report.size() > 1) {
        std::copy_n(output_report.begin() + 1, std::min<std::size_t>(8, output_report.size() - 1), f.begin());
    }
    receive_frame(u, f);
}

void receive_frame(unit& u, const frame& f)
{
    ++u.frames_received;
    const bool data = u.data_frames_left > 0;
    u.log.push_back({f, data});
    if (u.trace) {
        u.trace(describe(u.log.back()));
    }
    if (data) {
        --u.data_frames_left;
        flash_data(u, f);
        return;
    }
    if (f[0] == code_write_start) {
        u.data_frames_left = (f[5] | (f[6] << 8) | (f[7] << 16)) / 8;
        flash_write_start(u, f);
        return;
    }
    if (f[0] == code_presence_query) {
        answer_presence(u);
        return;
    }
    if (flash_command(u, f) || timing_command(u, f) || picture_command(u, f)) {
        return;
    }
    // Codes the unit does not know are logged and left unanswered.
}

std::string command_name(std::uint8_t code)
{
    switch (code) {
    case 0x00: return "status_poll";
    case 0x01: return "write_start";
    case 0x02: return "presence_query";
    case 0x04: return "erase_sector";
    case 0x05: return "erase_block";
    case 0x06: return "checksum_request";
    case 0x0B: return "mcu_write";
    case 0x0F: return "timing_mode";
    case 0x10: return "timing_read";
    case 0x11: return "timing_write";
    case 0x12: return "timing_apply";
    case 0x13: return "remote_key";
    case 0x14: return "picture_info";
    case 0x15: return "line_read";
    case 0x16: return "set_freeze";
    default: return "unknown";
    }
}

std::string describe(const logged_frame& f)
{
    std::string line = f.data ? "data" : command_name(f.bytes[0]);
    line.resize(std::max<std::size_t>(line.size(), 16), ' ');
    char hex[4];
    for (std::uint8_t b : f.bytes) {
        std::snprintf(hex, sizeof hex, " %02X", b);
        line += hex;
    }
    return line;
}

std::vector<frame> command_frames(const unit& u)
{
    std::vector<frame> out;
    for (const logged_frame& f : u.log) {
        if (!f.data) {
            out.push_back(f.bytes);
        }
    }
    return out;
}

}  // namespace sim
