#include <gtest/gtest.h>

#include <functional>

#include "devicelink/commands.h"

namespace {

using devicelink::command_frame;
using devicelink::frame;
namespace build = devicelink::build;

struct builder_case {
    const char* name;
    std::function<void()> build;
    frame expected;  // 0xEE marks a byte the command keeps
};

constexpr std::uint8_t K = 0xEE;

class kept_bytes : public ::testing::TestWithParam<builder_case> {};

TEST_P(kept_bytes, each_builder_sets_only_the_bytes_of_its_row)
{
    const builder_case& c = GetParam();
    command_frame.fill(K);
    c.build();
    EXPECT_EQ(command_frame, c.expected) << c.name;
}

const std::array<std::uint8_t, 4> timing_data{0xE8, 0x07, 0x03, 0x00};

INSTANTIATE_TEST_SUITE_P(
    command_table, kept_bytes,
    ::testing::Values(
        builder_case{"presence_query", [] { build::presence_query(); }, {0x02, 0, 0, 0, 0, 0, 0, 0}},
        builder_case{"write_start", [] { build::write_start(0xF8000, 8); }, {0x01, 0, 0x00, 0x80, 0x0F, 0x08, 0, 0}},
        builder_case{"erase_sector", [] { build::erase_sector(0x1F1000); }, {0x04, 0, 0x00, 0x10, 0x1F, 0x55, 0xAA, 0x55}},
        builder_case{"erase_block", [] { build::erase_block(0xE8000); }, {0x05, 0, 0x00, 0x80, 0x0E, 0x55, 0xAA, 0x55}},
        builder_case{"checksum_request", [] { build::checksum_request(0x1F1000, 4088); },
                     {0x06, 0, 0x00, 0x10, 0x1F, 0xF8, 0x0F, 0x00}},
        builder_case{"address above 24 bits", [] { build::write_start(0x12345678, 0x1000008); },
                     {0x01, 0, 0x78, 0x56, 0x34, 0x08, 0, 0}},
        builder_case{"mcu_write", [] { build::mcu_write(); }, {0x0B, 0, K, K, K, K, K, K}},
        builder_case{"timing_mode enter", [] { build::timing_mode(true); }, {0x0F, 1, K, K, K, K, K, K}},
        builder_case{"timing_mode leave", [] { build::timing_mode(false); }, {0x0F, 0, K, K, K, K, K, K}},
        builder_case{"timing_read", [] { build::timing_read(0x52, 0x01); }, {0x10, 0, 0x52, 0x01, K, K, K, K}},
        builder_case{"timing_write", [] { build::timing_write(0x22, 0x01, timing_data); },
                     {0x11, 0, 0x22, 0x01, 0xE8, 0x07, 0x03, 0x00}},
        builder_case{"timing_apply", [] { build::timing_apply(); }, {0x12, K, K, K, K, K, K, K}},
        builder_case{"remote_key", [] { build::remote_key(0x4B); }, {0x13, 0x4B, K, K, K, K, K, K}},
        builder_case{"picture_info", [] { build::picture_info(); }, {0x14, K, K, K, K, K, K, K}},
        builder_case{"line_read", [] { build::line_read(30); }, {0x15, 30, K, K, K, K, K, K}},
        builder_case{"set_freeze on", [] { build::set_freeze(true); }, {0x16, 1, K, K, K, K, K, K}},
        builder_case{"set_freeze off", [] { build::set_freeze(false); }, {0x16, 0, K, K, K, K, K, K}}),
    [](const auto& info) {
        std::string n = info.param.name;
        std::replace(n.begin(), n.end(), ' ', '_');
        return n;
    });

TEST(command_sequence, kept_bytes_carry_from_one_window_to_the_next)
{
    command_frame.fill(0);
    build::timing_write(0x22, 0x01, timing_data);
    build::remote_key(0x05);
    EXPECT_EQ(command_frame, (frame{0x13, 0x05, 0x22, 0x01, 0xE8, 0x07, 0x03, 0x00}));

    build::set_freeze(true);
    build::picture_info();
    EXPECT_EQ(command_frame, (frame{0x14, 0x01, 0x22, 0x01, 0xE8, 0x07, 0x03, 0x00}));

    build::checksum_request(0xF8000, 32760);
    const frame before = command_frame;
    // The status poll is a frame of its own and leaves the request in place.
    EXPECT_EQ(devicelink::status_poll, frame{});
    EXPECT_EQ(command_frame, before);
    build::mcu_write();
    EXPECT_EQ(command_frame, (frame{0x0B, 0x00, 0x00, 0x80, 0x0F, 0xF8, 0x7F, 0x00}));
}

TEST(command_sequence, data_frame_overwrites_all_eight_bytes)
{
    command_frame.fill(K);
    const std::array<std::uint8_t, 8> image{9, 8, 7, 6, 5, 4, 3, 2};
    build::data(image);
    EXPECT_EQ(command_frame, (frame{9, 8, 7, 6, 5, 4, 3, 2}));
}

}  // namespace
