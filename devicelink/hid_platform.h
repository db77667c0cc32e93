// The seam between the device link and whatever provides HID interfaces:
// Linux hidraw nodes and virtual units in production, scripted doubles in tests.
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <vector>

namespace devicelink {

struct hid_attributes {
    std::uint16_t vendor = 0;
    std::uint16_t product = 0;
    std::uint16_t version = 0;
};

struct report_lengths {
    std::uint16_t input = 0;   // report ID byte included
    std::uint16_t output = 0;  // report ID byte included
};

class hid_platform {
public:
    virtual ~hid_platform() = default;

    // Present interfaces, in the order discovery must try them.
    virtual std::vector<std::string> list_interfaces() = 0;
    // A handle (>= 0), or -1 when the interface cannot be opened.
    virtual int open(const std::string& path) = 0;
    // A second handle on an interface that is open already, used for bounded reads.
    virtual int open_for_reading(const std::string& path) = 0;
    virtual bool get_attributes(int handle, hid_attributes& out) = 0;
    virtual bool get_report_lengths(int handle, report_lengths& out) = 0;
    // Sends one whole output report, report ID first.
    virtual bool write(int handle, std::span<const std::uint8_t> report) = 0;
    // Waits at most timeout_ms for one input report and puts it into buffer,
    // report ID first; returns the number of bytes stored, 0 when none came.
    virtual int read(int handle, std::span<std::uint8_t> buffer, int timeout_ms) = 0;
    // Drops input reports that are already waiting, without blocking.
    virtual void discard_pending(int handle) = 0;
    virtual void close(int handle) = 0;
};

}  // namespace devicelink
