// Builders for the unit's command frames. Each writes only the bytes its
// command defines into command_frame; every other byte keeps what the previous
// command left there, and goes out on the wire with it.
#pragma once

#include <cstdint>
#include <span>

#include "devicelink/link.h"

namespace devicelink {

enum command_code : std::uint8_t {
    code_status_poll = 0x00,
    code_write_start = 0x01,
    code_presence_query = 0x02,
    code_erase_sector = 0x04,
    code_erase_block = 0x05,
    code_checksum_request = 0x06,
    code_mcu_write = 0x0B,
    code_timing_mode = 0x0F,
    code_timing_read = 0x10,
    code_timing_write = 0x11,
    code_timing_apply = 0x12,
    code_remote_key = 0x13,
    code_picture_info = 0x14,
    code_line_read = 0x15,
    code_set_freeze = 0x16,
};

// The status poll never passes through command_frame, so a checksum request
// stays there while the unit is polled.
inline constexpr frame status_poll{};

namespace build {

void presence_query();
void write_start(std::uint32_t address, std::uint32_t length);
void erase_sector(std::uint32_t address);
void erase_block(std::uint32_t address);
void checksum_request(std::uint32_t address, std::uint32_t count);
void mcu_write();
void timing_mode(bool enter);
void timing_read(std::uint8_t address_low, std::uint8_t address_high);
void timing_write(std::uint8_t address_low, std::uint8_t address_high, std::span<const std::uint8_t, 4> data);
void timing_apply();
void remote_key(std::uint8_t key_code);
void picture_info();
void line_read(std::uint8_t reports);
void set_freeze(bool freeze);
// A flash data frame: eight image bytes, no command code.
void data(std::span<const std::uint8_t, 8> bytes);

}  // namespace build

// Bytes first..first+2 of command_frame = low 24 bits of value, low byte first.
void put24(std::size_t first, std::uint32_t value);

// Writes command_frame and reads the one reply that most commands have.
void exchange();

// The start-up check of both programs: looks for the unit, sends it the
// presence query and pauses 3 ticks. True when at least one of reply bytes 1
// to 8 is not zero; no unit means no frame and no pause.
bool unit_answers();

}  // namespace devicelink
