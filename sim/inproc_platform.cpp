#include "sim/inproc_platform.h"

#include <algorithm>
#include <string>

namespace sim {

namespace {

const std::string prefix = "inproc:";

}  // namespace

void inproc_platform::add(unit& u)
{
    units_.push_back(&u);
}

std::vector<std::string> inproc_platform::list_interfaces()
{
    std::vector<std::string> paths;
    for (std::size_t i = 0; i < units_.size(); ++i) {
        paths.push_back(prefix + std::to_string(i));
    }
    return paths;
}

int inproc_platform::open(const std::string& path)
{
    if (!path.starts_with(prefix)) {
        return -1;
    }
    const std::size_t index = std::stoul(path.substr(prefix.size()));
    if (index >= units_.size()) {
        return -1;
    }
    ++opens;
    const int handle = next_handle_++;
    handles_[handle] = units_[index];
    return handle;
}

int inproc_platform::open_for_reading(const std::string& path)
{
    return open(path);
}

unit* inproc_platform::find(int handle)
{
    const auto it = handles_.find(handle);
    return it == handles_.end() ? nullptr : it->second;
}

bool inproc_platform::get_attributes(int handle, devicelink::hid_attributes& out)
{
    unit* u = find(handle);
    if (u == nullptr) {
        return false;
    }
    out = {u->opt.vendor, u->opt.product, u->opt.version};
    return true;
}

bool inproc_platform::get_report_lengths(int handle, devicelink::report_lengths& out)
{
    unit* u = find(handle);
    if (u == nullptr) {
        return false;
    }
    out = {u->opt.input_length, u->opt.output_length};
    return true;
}

bool inproc_platform::write(int handle, std::span<const std::uint8_t> report)
{
    unit* u = find(handle);
    if (u == nullptr) {
        return false;
    }
    if (keep_written) {
        written.emplace_back(report.begin(), report.end());
    }
    receive_output_report(*u, report);
    return true;
}

int inproc_platform::read(int handle, std::span<std::uint8_t> buffer, int)
{
    unit* u = find(handle);
    if (u == nullptr || u->replies.empty()) {
        return 0;
    }
    const report r = std::move(u->replies.front());
    u->replies.pop_front();
    std::fill(buffer.begin(), buffer.end(), 0);
    const std::size_t n = std::min(buffer.size(), r.size());
    std::copy_n(r.begin(), n, buffer.begin());
    return static_cast<int>(n);
}

void inproc_platform::discard_pending(int handle)
{
    if (unit* u = find(handle)) {
        u->replies.clear();
    }
}

void inproc_platform::close(int handle)
{
    if (handles_.erase(handle) > 0) {
        ++closes;
    }
}

}  // namespace sim
