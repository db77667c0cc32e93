#include "devicelink/link.h"

#include <algorithm>

namespace devicelink {

frame command_frame{};
std::vector<std::uint8_t> input_report;
bool device_detected = false;
int device_handle = -1;
int read_handle = -1;
std::string device_path;
std::uint16_t input_report_length = 0;
std::uint16_t output_report_length = 0;

namespace {

hid_platform* platform = nullptr;
// Built once per unit so that a data frame costs no allocation.
std::vector<std::uint8_t> output_report;
std::uint32_t stream_frames_left = 0;
std::uint32_t refused = 0;
// A refused write has no reply coming; its read must not wait for one.
bool last_write_refused = false;

void send(const frame& f)
{
    if (!device_detected) {
        device_detected = find_device();
    }
    if (!device_detected) {
        return;
    }
    std::copy(f.begin(), f.end(), output_report.begin() + 1);
    // A reply that arrived after its read gave up belongs to no caller; it must
    // not be taken as the answer to this frame.
    platform->discard_pending(read_handle);
    platform->write(device_handle, output_report);
}

}  // namespace

void set_platform(hid_platform* p)
{
    platform = p;
}

hid_platform* current_platform()
{
    return platform;
}

bool accepted(std::uint16_t vendor, std::uint16_t product)
{
    return std::any_of(accepted_units.begin(), accepted_units.end(), [&](const accepted_unit& u) {
        return u.vendor == vendor && u.product == product;
    });
}

bool find_device()
{
    device_detected = false;
    if (platform == nullptr) {
        return false;
    }
    int handle = -1;
    for (const std::string& path : platform->list_interfaces()) {
        handle = platform->open(path);
        if (handle < 0) {
            continue;
        }
        hid_attributes attributes;
        if (platform->get_attributes(handle, attributes) && accepted(attributes.vendor, attributes.product)) {
            device_path = path;
            break;
        }
        platform->close(handle);
        handle = -1;
    }
    if (handle < 0) {
        return false;
    }

    report_lengths lengths;
    platform->get_report_lengths(handle, lengths);
    const int reader = platform->open_for_reading(device_path);
    // A unit whose reports cannot carry a frame or a picture line, or that cannot
    // be read, is of no use: treat it as absent rather than half-open.
    if (lengths.output < minimum_output_report_length || lengths.input < minimum_input_report_length || reader < 0) {
        if (reader >= 0) {
            platform->close(reader);
        }
        platform->close(handle);
        device_path.clear();
        return false;
    }
    device_handle = handle;
    read_handle = reader;
    input_report_length = lengths.input;
    output_report_length = lengths.output;
    output_report.assign(output_report_length, 0);
    input_report.assign(input_report_length, 0);
    device_detected = true;
    return true;
}

void write_report(const frame& f)
{
    if (stream_frames_left > 0) {
        ++refused;
        last_write_refused = true;
        return;
    }
    last_write_refused = false;
    send(f);
}

void read_report()
{
    std::fill(input_report.begin(), input_report.end(), 0);
    if (last_write_refused || !device_detected || platform == nullptr) {
        return;
    }
    platform->read(read_handle, input_report, read_timeout_ms);
}

void begin_data_stream(std::uint32_t frames)
{
    stream_frames_left = frames;
}

void write_stream_frame(const frame& f)
{
    if (stream_frames_left > 0) {
        --stream_frames_left;
    }
    last_write_refused = false;
    send(f);
}

bool data_stream_active()
{
    return stream_frames_left > 0;
}

std::uint32_t refused_frames()
{
    return refused;
}

void close_handles()
{
    if (platform != nullptr) {
        if (device_handle >= 0) {
            platform->close(device_handle);
        }
        if (read_handle >= 0) {
            platform->close(read_handle);
        }
    }
    device_handle = -1;
    read_handle = -1;
}

void reset_for_tests()
{
    command_frame = {};
    input_report.clear();
    device_detected = false;
    device_handle = -1;
    read_handle = -1;
    device_path.clear();
    input_report_length = 0;
    output_report_length = 0;
    output_report.clear();
    stream_frames_left = 0;
    refused = 0;
    last_write_refused = false;
}

}  // namespace devicelink
