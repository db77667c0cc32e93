// The virtual unit: the unit's side of the command set, kept as plain state
// and procedures so that tests can drive it in-process and zova3-sim can serve
// it on a socket.
#pragma once

#include <array>
#include <cstdint>
#include <deque>
#include <functional>
#include <span>
#include <string>
#include <vector>

#include "sim/flash.h"
#include "sim/picture.h"
#include "sim/timing.h"

namespace sim {

using frame = std::array<std::uint8_t, 8>;
using report = std::vector<std::uint8_t>;

struct options {
    std::uint16_t vendor = 0x17A7;
    std::uint16_t product = 0x0001;
    std::uint16_t version = 0x0111;
    std::uint16_t input_length = 65;   // report ID byte included
    std::uint16_t output_length = 65;  // report ID byte included
    bool silent = false;               // never answers a frame
    // Fault switches.
    std::uint32_t stop_after_frames = 0;  // answer nothing once this many frames came (0: never)
    std::uint32_t drop_every_nth_reply = 0;  // 0: drop none
};

struct logged_frame {
    frame bytes{};
    bool data = false;  // a flash data frame, known only by its place after write_start
};

struct unit {
    options opt;
    std::vector<logged_frame> log;
    std::deque<report> replies;  // input reports waiting to be read, report ID first
    std::uint32_t frames_received = 0;
    std::uint32_t replies_made = 0;
    std::uint32_t data_frames_left = 0;  // of the region announced by write_start

    flash_state flash;
    timing_state timing;
    picture_state picture;
    std::vector<std::uint8_t> remote_keys;

    // Called with a decoded line for every frame when tracing.
    std::function<void(const std::string&)> trace;
};

// One output report from the program (report ID first). Replies it causes
// are appended to u.replies.
void receive_output_report(unit& u, std::span<const std::uint8_t> output_report);
void receive_frame(unit& u, const frame& f);

// Queues one input report: report ID 0, then bytes, zero-filled to the
// announced input length.
void reply(unit& u, std::span<const std::uint8_t> bytes);

// A frame as a line of text: its command name, then its bytes.
std::string describe(const logged_frame& f);
std::string command_name(std::uint8_t code);

// The frames of the log that are commands (not flash data), in order.
std::vector<frame> command_frames(const unit& u);

}  // namespace sim
