#include "devicelink/commands.h"

#include <algorithm>

#include "devicelink/tick_clock.h"

namespace devicelink {

void put24(std::size_t first, std::uint32_t value)
{
    command_frame[first] = static_cast<std::uint8_t>(value & 0xFF);
    command_frame[first + 1] = static_cast<std::uint8_t>((value >> 8) & 0xFF);
    command_frame[first + 2] = static_cast<std::uint8_t>((value >> 16) & 0xFF);
}

void exchange()
{
    write_report(command_frame);
    read_report();
}

bool unit_answers()
{
    if (!find_device()) {
        return false;
    }
    build::presence_query();
    exchange();
    const bool answered = std::any_of(input_report.begin() + 1, input_report.begin() + 9,
                                      [](std::uint8_t b) { return b != 0; });
    wait_ticks(3);
    return answered;
}

namespace {

void code_and_zero(command_code code)
{
    command_frame[0] = code;
    command_frame[1] = 0x00;
}

void flash_command(command_code code, std::uint32_t address, std::uint32_t value)
{
    code_and_zero(code);
    put24(2, address);
    put24(5, value);
}

constexpr std::uint32_t erase_pattern = 0x55AA55;  // bytes 55 AA 55 in frame order

}  // namespace

namespace build {

void presence_query()
{
    flash_command(code_presence_query, 0, 0);
}

void write_start(std::uint32_t address, std::uint32_t length)
{
    flash_command(code_write_start, address, length);
}

void erase_sector(std::uint32_t address)
{
    flash_command(code_erase_sector, address, erase_pattern);
}

void erase_block(std::uint32_t address)
{
    flash_command(code_erase_block, address, erase_pattern);
}

void checksum_request(std::uint32_t address, std::uint32_t count)
{
    flash_command(code_checksum_request, address, count);
}

void mcu_write()
{
    code_and_zero(code_mcu_write);
}

void timing_mode(bool enter)
{
    command_frame[0] = code_timing_mode;
    command_frame[1] = enter ? 0x01 : 0x00;
}

void timing_read(std::uint8_t address_low, std::uint8_t address_high)
{
    code_and_zero(code_timing_read);
    command_frame[2] = address_low;
    command_frame[3] = address_high;
}

void timing_write(std::uint8_t address_low, std::uint8_t address_high, std::span<const std::uint8_t, 4> data)
{
    code_and_zero(code_timing_write);
    command_frame[2] = address_low;
    command_frame[3] = address_high;
    std::copy(data.begin(), data.end(), command_frame.begin() + 4);
}

void timing_apply()
{
    command_frame[0] = code_timing_apply;
}

void remote_key(std::uint8_t key_code)
{
    command_frame[0] = code_remote_key;
    command_frame[1] = key_code;
}

void picture_info()
{
    command_frame[0] = code_picture_info;
}

void line_read(std::uint8_t reports)
{
    command_frame[0] = code_line_read;
    command_frame[1] = reports;
}

void set_freeze(bool freeze)
{
    command_frame[0] = code_set_freeze;
    command_frame[1] = freeze ? 0x01 : 0x00;
}

void data(std::span<const std::uint8_t, 8> bytes)
{
    std::copy(bytes.begin(), bytes.end(), command_frame.begin());
}

}  // namespace build
}  // namespace devicelink
