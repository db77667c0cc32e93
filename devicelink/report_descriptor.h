// Report lengths from a HID report descriptor, counted the way Windows' HID
// capabilities count them: the largest report of a type plus one byte for the
// report ID, whether or not the device numbers its reports.
#pragma once

#include <cstdint>
#include <span>

namespace devicelink {

struct descriptor_lengths {
    std::uint16_t input = 0;
    std::uint16_t output = 0;
    std::uint16_t feature = 0;
    bool numbered_reports = false;  // the descriptor declares report IDs
};

descriptor_lengths parse_report_descriptor(std::span<const std::uint8_t> descriptor);

}  // namespace devicelink
