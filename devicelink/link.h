// The device link: one unit per program, found among the HID interfaces and
// spoken to through 8-byte command frames.
#pragma once

#include <array>
#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "devicelink/hid_platform.h"

namespace devicelink {

using frame = std::array<std::uint8_t, 8>;

// Accepted units; the version number is never examined.
struct accepted_unit {
    std::uint16_t vendor;
    std::uint16_t product;
};
inline constexpr std::array<accepted_unit, 3> accepted_units{{
    {0x17A7, 0x0001},
    {0x17A7, 0x0002},
    {0x04D8, 0x0000},
}};

inline constexpr int read_timeout_ms = 1000;
inline constexpr std::uint16_t minimum_output_report_length = 9;
inline constexpr std::uint16_t minimum_input_report_length = 65;

// Module state, shared by every window of the program.
extern frame command_frame;
extern std::vector<std::uint8_t> input_report;
extern bool device_detected;
extern int device_handle;
extern int read_handle;
extern std::string device_path;
extern std::uint16_t input_report_length;
extern std::uint16_t output_report_length;

// The platform the link talks through; set once at start-up (tests swap it).
void set_platform(hid_platform* platform);
hid_platform* current_platform();

bool find_device();
void write_report(const frame& f);
void read_report();
// Closes both handles; used by the main windows on unload.
void close_handles();
// Forgets the unit and its handles without touching the platform (tests only).
void reset_for_tests();

bool accepted(std::uint16_t vendor, std::uint16_t product);

// A flash data stream: once begun, only write_stream_frame may send until the
// announced number of frames has gone out, so no other window's command can
// land among the data.
void begin_data_stream(std::uint32_t frames);
void write_stream_frame(const frame& f);
bool data_stream_active();
// Frames refused because a data stream was running (for tests and diagnostics).
std::uint32_t refused_frames();

}  // namespace devicelink
