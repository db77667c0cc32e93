// Virtual units served in the same process, with no socket and no link
// latency: reads return at once, because a unit that has not answered by then
// never will.
#pragma once

#include <map>
#include <vector>

#include "devicelink/hid_platform.h"
#include "sim/unit.h"

namespace sim {

class inproc_platform final : public devicelink::hid_platform {
public:
    // The units are owned by the caller and enumerated in the order added.
    void add(unit& u);

    std::vector<std::string> list_interfaces() override;
    int open(const std::string& path) override;
    int open_for_reading(const std::string& path) override;
    bool get_attributes(int handle, devicelink::hid_attributes& out) override;
    bool get_report_lengths(int handle, devicelink::report_lengths& out) override;
    bool write(int handle, std::span<const std::uint8_t> report) override;
    int read(int handle, std::span<std::uint8_t> buffer, int timeout_ms) override;
    void discard_pending(int handle) override;
    void close(int handle) override;

    // Every output report written, whole, in order (for checks on the wire format).
    std::vector<std::vector<std::uint8_t>> written;
    bool keep_written = false;
    int opens = 0;
    int closes = 0;

private:
    unit* find(int handle);
    std::vector<unit*> units_;
    std::map<int, unit*> handles_;
    int next_handle_ = 0;
};

}  // namespace sim
