// HID interfaces on Linux: the kernel's hidraw nodes, then the virtual units.
#pragma once

#include <map>
#include <string>

#include "devicelink/hid_platform.h"

namespace devicelink {

class linux_platform final : public hid_platform {
public:
    ~linux_platform() override;

    std::vector<std::string> list_interfaces() override;
    int open(const std::string& path) override;
    int open_for_reading(const std::string& path) override;
    bool get_attributes(int handle, hid_attributes& out) override;
    bool get_report_lengths(int handle, report_lengths& out) override;
    bool write(int handle, std::span<const std::uint8_t> report) override;
    int read(int handle, std::span<std::uint8_t> buffer, int timeout_ms) override;
    void discard_pending(int handle) override;
    void close(int handle) override;

private:
    struct entry {
        int fd = -1;
        bool virtual_unit = false;
        bool numbered_reports = false;
        hid_attributes attributes;
        report_lengths lengths;
        std::string path;
        int references = 1;
    };

    int add(entry e);
    int open_hidraw(const std::string& path, bool for_reading);
    int open_virtual_unit(const std::string& path);

    std::map<int, entry> handles_;
    int next_handle_ = 0;
};

// The hidraw nodes of a device directory, in numeric order (hidraw10 after hidraw9).
std::vector<std::string> list_hidraw_nodes(const std::string& directory = "/dev");

}  // namespace devicelink
