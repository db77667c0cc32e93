#include <algorithm>
#include <chrono>

#include "devicelink/commands.h"
#include "devicelink/link.h"
#include "devicelink/tick_clock.h"
#include "flash/flash.h"

namespace flash {

namespace {

std::chrono::milliseconds poll_limit = status_poll_limit;

// The unit is paced from this side: a pause before and after every read that
// follows an erase or the end of the data.
void paced_read()
{
    devicelink::wait_ticks(2);
    devicelink::read_report();
    devicelink::wait_ticks(2);
}

void send_data(std::span<const std::uint8_t, 8> bytes)
{
    devicelink::build::data(bytes);
    devicelink::write_stream_frame(devicelink::command_frame);
}

}  // namespace

void erase_region(std::uint32_t address, std::uint32_t length, const std::function<void()>& after_block)
{
    const std::uint32_t blocks = (length - 1) / block_size;
    for (std::uint32_t k = 0; k < blocks; ++k) {
        devicelink::build::erase_block(address + k * block_size);
        devicelink::write_report(devicelink::command_frame);
        paced_read();
        if (after_block) {
            after_block();
        }
    }
    const std::uint32_t rest = length - blocks * block_size;
    const std::uint32_t sectors = (rest + sector_size - 1) / sector_size;
    for (std::uint32_t j = 0; j < sectors; ++j) {
        devicelink::build::erase_sector(address + blocks * block_size + j * sector_size);
        devicelink::write_report(devicelink::command_frame);
        paced_read();
    }
}

bool write_region(std::uint32_t address, std::uint32_t length, const byte_source& source)
{
    devicelink::build::write_start(address, length);
    devicelink::write_report(devicelink::command_frame);
    devicelink::begin_data_stream(length / 8);
    std::array<std::uint8_t, 8> bytes{};
    for (std::uint32_t n = 0; n < length; n += 8) {
        if (!source(n, bytes)) {
            // The unit counts the announced frames; erased bytes program nothing.
            bytes.fill(0xFF);
            for (; n < length; n += 8) {
                send_data(bytes);
            }
            return false;
        }
        send_data(bytes);
    }
    paced_read();
    return true;
}

std::optional<std::uint16_t> read_checksum(std::uint32_t address, std::uint32_t count)
{
    devicelink::build::checksum_request(address, count);
    devicelink::write_report(devicelink::command_frame);
    const auto start = std::chrono::steady_clock::now();
    for (;;) {
        devicelink::wait_ticks(2);
        devicelink::write_report(devicelink::status_poll);
        devicelink::read_report();
        if (devicelink::input_report.size() > 3 && devicelink::input_report[1] == 1) {
            break;
        }
        // An unplugged or stuck unit must not hold the program for ever.
        if (std::chrono::steady_clock::now() - start >= poll_limit) {
            return std::nullopt;
        }
    }
    devicelink::wait_ticks(2);
    return static_cast<std::uint16_t>(devicelink::input_report[2] | (devicelink::input_report[3] << 8));
}

void set_status_poll_limit_for_tests(std::chrono::milliseconds limit)
{
    poll_limit = limit > std::chrono::milliseconds::zero() ? limit : status_poll_limit;
}

}  // namespace flash
