#include "devicelink/linux_platform.h"

#include <fcntl.h>
#include <linux/hidraw.h>
#include <poll.h>
#include <sys/ioctl.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstring>
#include <filesystem>
#include <vector>

#include "devicelink/report_descriptor.h"
#include "devicelink/virtual_units.h"

namespace devicelink {

namespace {

bool is_virtual_path(const std::string& path)
{
    return path.ends_with(".sock");
}

// poll() for readability, restarting after signals without extending the limit.
bool wait_readable(int fd, int timeout_ms)
{
    using clock = std::chrono::steady_clock;
    const auto deadline = clock::now() + std::chrono::milliseconds(timeout_ms);
    for (;;) {
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - clock::now()).count();
        pollfd p{fd, POLLIN, 0};
        const int r = ::poll(&p, 1, static_cast<int>(std::max<long long>(left, 0)));
        if (r > 0) {
            return (p.revents & POLLIN) != 0;
        }
        if (r == 0 || errno != EINTR) {
            return false;
        }
    }
}

}  // namespace

std::vector<std::string> list_hidraw_nodes(const std::string& directory)
{
    std::vector<std::pair<unsigned long, std::string>> nodes;
    std::error_code ec;
    for (const auto& e : std::filesystem::directory_iterator(directory, ec)) {
        const std::string name = e.path().filename().string();
        if (!name.starts_with("hidraw") || name.size() == 6) {
            continue;
        }
        const std::string digits = name.substr(6);
        if (!std::all_of(digits.begin(), digits.end(), [](char c) { return c >= '0' && c <= '9'; })) {
            continue;
        }
        nodes.emplace_back(std::stoul(digits), e.path().string());
    }
    std::sort(nodes.begin(), nodes.end());
    std::vector<std::string> paths;
    for (auto& n : nodes) {
        paths.push_back(std::move(n.second));
    }
    return paths;
}

linux_platform::~linux_platform()
{
    for (auto& [handle, e] : handles_) {
        ::close(e.fd);
    }
}

std::vector<std::string> linux_platform::list_interfaces()
{
    std::vector<std::string> all = list_hidraw_nodes();
    for (std::string& unit : list_virtual_units()) {
        all.push_back(std::move(unit));
    }
    return all;
}

int linux_platform::add(entry e)
{
    const int handle = next_handle_++;
    handles_.emplace(handle, std::move(e));
    return handle;
}

int linux_platform::open(const std::string& path)
{
    return is_virtual_path(path) ? open_virtual_unit(path) : open_hidraw(path, false);
}

int linux_platform::open_for_reading(const std::string& path)
{
    if (!is_virtual_path(path)) {
        return open_hidraw(path, true);
    }
    // One connection serves both opens of a virtual unit.
    for (auto& [handle, e] : handles_) {
        if (e.virtual_unit && e.path == path) {
            ++e.references;
            return handle;
        }
    }
    return -1;
}

int linux_platform::open_hidraw(const std::string& path, bool for_reading)
{
    const int fd = ::open(path.c_str(), O_RDWR | O_CLOEXEC | (for_reading ? O_NONBLOCK : 0));
    if (fd < 0) {
        return -1;
    }
    entry e;
    e.fd = fd;
    e.path = path;
    hidraw_devinfo info{};
    if (::ioctl(fd, HIDIOCGRAWINFO, &info) == 0) {
        e.attributes.vendor = static_cast<std::uint16_t>(info.vendor);
        e.attributes.product = static_cast<std::uint16_t>(info.product);
    }
    int size = 0;
    if (::ioctl(fd, HIDIOCGRDESCSIZE, &size) == 0 && size > 0) {
        hidraw_report_descriptor descriptor{};
        descriptor.size = static_cast<std::uint32_t>(std::min(size, HID_MAX_DESCRIPTOR_SIZE));
        if (::ioctl(fd, HIDIOCGRDESC, &descriptor) == 0) {
            const descriptor_lengths l = parse_report_descriptor({descriptor.value, descriptor.size});
            e.lengths = {l.input, l.output};
            e.numbered_reports = l.numbered_reports;
        }
    }
    return add(std::move(e));
}

int linux_platform::open_virtual_unit(const std::string& path)
{
    sockaddr_un address{};
    const int fd = seqpacket_socket(path, address);
    if (fd < 0) {
        return -1;
    }
    std::array<std::uint8_t, 64> message{};
    ssize_t got = -1;
    if (::connect(fd, reinterpret_cast<const sockaddr*>(&address), sizeof(address)) == 0 &&
        wait_readable(fd, 1000)) {
        got = ::recv(fd, message.data(), message.size(), MSG_DONTWAIT);
    }
    const auto g = got > 0 ? decode_greeting({message.data(), static_cast<std::size_t>(got)}) : std::nullopt;
    if (!g) {
        ::close(fd);
        return -1;
    }
    entry e;
    e.fd = fd;
    e.virtual_unit = true;
    e.numbered_reports = true;
    e.path = path;
    e.attributes = {g->vendor, g->product, g->version};
    e.lengths = {g->input_length, g->output_length};
    return add(std::move(e));
}

bool linux_platform::get_attributes(int handle, hid_attributes& out)
{
    const auto it = handles_.find(handle);
    if (it == handles_.end()) {
        return false;
    }
    out = it->second.attributes;
    return true;
}

bool linux_platform::get_report_lengths(int handle, report_lengths& out)
{
    const auto it = handles_.find(handle);
    if (it == handles_.end()) {
        return false;
    }
    out = it->second.lengths;
    return out.input > 0 && out.output > 0;
}

bool linux_platform::write(int handle, std::span<const std::uint8_t> report)
{
    const auto it = handles_.find(handle);
    if (it == handles_.end()) {
        return false;
    }
    const int fd = it->second.fd;
    const ssize_t sent = it->second.virtual_unit ? ::send(fd, report.data(), report.size(), MSG_NOSIGNAL)
                                                 : ::write(fd, report.data(), report.size());
    return sent == static_cast<ssize_t>(report.size());
}

int linux_platform::read(int handle, std::span<std::uint8_t> buffer, int timeout_ms)
{
    const auto it = handles_.find(handle);
    if (it == handles_.end() || buffer.empty() || !wait_readable(it->second.fd, timeout_ms)) {
        return 0;
    }
    const entry& e = it->second;
    // A device without numbered reports delivers the report alone; callers
    // always find the report ID at index 0.
    const std::size_t skip = e.numbered_reports ? 0 : 1;
    std::vector<std::uint8_t> scratch(buffer.size() - skip);
    const ssize_t got = e.virtual_unit ? ::recv(e.fd, scratch.data(), scratch.size(), MSG_DONTWAIT)
                                       : ::read(e.fd, scratch.data(), scratch.size());
    if (got <= 0) {
        return 0;
    }
    std::fill(buffer.begin(), buffer.end(), 0);
    std::copy_n(scratch.begin(), got, buffer.begin() + static_cast<std::ptrdiff_t>(skip));
    return static_cast<int>(got + static_cast<ssize_t>(skip));
}

void linux_platform::discard_pending(int handle)
{
    const auto it = handles_.find(handle);
    if (it == handles_.end()) {
        return;
    }
    std::array<std::uint8_t, 4096> sink{};
    const entry& e = it->second;
    for (int i = 0; i < 1024; ++i) {
        const ssize_t got = e.virtual_unit ? ::recv(e.fd, sink.data(), sink.size(), MSG_DONTWAIT)
                                           : ::read(e.fd, sink.data(), sink.size());
        if (got <= 0) {
            break;
        }
    }
}

void linux_platform::close(int handle)
{
    const auto it = handles_.find(handle);
    if (it == handles_.end()) {
        return;
    }
    if (--it->second.references > 0) {
        return;
    }
    ::close(it->second.fd);
    handles_.erase(it);
}

}  // namespace devicelink
