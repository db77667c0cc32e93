#include <gtest/gtest.h>

#include "devicelink/commands.h"
#include "devicelink/link.h"
#include "support/fake_platform.h"

using testing_support::fake_platform;

namespace {

class device_link : public testing_support::fake_platform_test {
protected:
    void add(const std::string& path, std::uint16_t vendor, std::uint16_t product, std::uint16_t version = 0)
    {
        platform.add(path, {vendor, product, version});
    }
};

TEST_F(device_link, no_interface_at_all_opens_nothing)
{
    EXPECT_FALSE(devicelink::find_device());
    EXPECT_FALSE(devicelink::device_detected);
    EXPECT_EQ(platform.events, std::vector<std::string>{"list"});
}

struct match_case {
    std::uint16_t vendor, product, version;
    bool accepted;
};

class discovery_match : public device_link, public ::testing::WithParamInterface<match_case> {};

TEST_P(discovery_match, accepts_exactly_the_three_pairs_whatever_the_version)
{
    const match_case c = GetParam();
    add("/dev/hidraw0", c.vendor, c.product, c.version);
    EXPECT_EQ(devicelink::find_device(), c.accepted);
    EXPECT_EQ(platform.open_handles, c.accepted ? 2 : 0);
}

INSTANTIATE_TEST_SUITE_P(table, discovery_match,
                         ::testing::Values(match_case{0x17A7, 0x0001, 0, true}, match_case{0x17A7, 0x0002, 7, true},
                                           match_case{0x04D8, 0x0000, 0xFFFF, true},
                                           match_case{0x17A7, 0x0003, 0, false},
                                           match_case{0x04D8, 0x0001, 0, false},
                                           match_case{0x0001, 0x17A7, 0, false}));

TEST_F(device_link, first_match_in_enumeration_order_wins_and_others_are_closed_or_untouched)
{
    add("/dev/hidraw0", 0x046D, 0xC077);  // a mouse
    platform.add("/dev/hidraw1", {0x17A7, 0x0001, 0}).openable = false;  // no permission
    add("/dev/hidraw2", 0x04D8, 0x0000);
    add("/dev/hidraw3", 0x17A7, 0x0001);

    ASSERT_TRUE(devicelink::find_device());
    EXPECT_EQ(devicelink::device_path, "/dev/hidraw2");
    const std::vector<std::string> expected{"list",
                                            "open /dev/hidraw0",
                                            "close /dev/hidraw0",
                                            "open /dev/hidraw1",
                                            "open /dev/hidraw2",
                                            "open-read /dev/hidraw2"};
    EXPECT_EQ(platform.events, expected);
    EXPECT_EQ(devicelink::input_report_length, 65);
    EXPECT_EQ(devicelink::output_report_length, 65);
}

struct unusable_case {
    devicelink::report_lengths lengths;
    bool second_open_works;
};

class unusable_unit : public device_link, public ::testing::WithParamInterface<unusable_case> {};

TEST_P(unusable_unit, counts_as_not_found_and_leaves_nothing_open)
{
    const unusable_case c = GetParam();
    platform.add("/dev/hidraw0", {0x17A7, 0x0001, 0}, c.lengths).second_open_works = c.second_open_works;
    EXPECT_FALSE(devicelink::find_device());
    EXPECT_EQ(platform.open_handles, 0);
    devicelink::write_report(devicelink::command_frame);
    EXPECT_TRUE(platform.written.empty());
}

INSTANTIATE_TEST_SUITE_P(table, unusable_unit,
                         ::testing::Values(unusable_case{{65, 8}, true}, unusable_case{{64, 65}, true},
                                           unusable_case{{0, 0}, true}, unusable_case{{65, 65}, false}));

TEST_F(device_link, write_report_runs_discovery_while_no_unit_is_found)
{
    devicelink::command_frame = {1, 2, 3, 4, 5, 6, 7, 8};
    devicelink::write_report(devicelink::command_frame);
    EXPECT_TRUE(platform.written.empty());

    add("/dev/hidraw5", 0x17A7, 0x0002);  // plugged in later
    devicelink::write_report(devicelink::command_frame);
    ASSERT_EQ(platform.written.size(), 1u);
    EXPECT_TRUE(devicelink::device_detected);

    // Once found, discovery is not run again.
    const auto lists = std::count(platform.events.begin(), platform.events.end(), "list");
    devicelink::write_report(devicelink::command_frame);
    EXPECT_EQ(std::count(platform.events.begin(), platform.events.end(), "list"), lists);
}

TEST_F(device_link, output_report_is_id_zero_frame_and_zero_fill)
{
    for (std::uint16_t length : {9, 65, 100}) {
        SetUp();
        platform = {};
        platform.add("/dev/hidraw0", {0x17A7, 0x0001, 0}, {65, length});
        devicelink::write_report({0x11, 0x22, 0x33, 0x44, 0x55, 0x66, 0x77, 0x88});
        ASSERT_EQ(platform.written.size(), 1u);
        std::vector<std::uint8_t> expected(length, 0);
        for (int k = 0; k < 8; ++k) {
            expected[1 + k] = static_cast<std::uint8_t>(0x11 * (k + 1));
        }
        EXPECT_EQ(platform.written[0], expected) << "output length " << length;
    }
}

TEST_F(device_link, a_late_reply_is_never_taken_for_the_next_answer)
{
    add("/dev/hidraw0", 0x17A7, 0x0001);
    ASSERT_TRUE(devicelink::find_device());
    // A reply to an earlier command that came after its read gave up.
    std::vector<std::uint8_t> late(65, 0);
    late[1] = 0x5A;
    platform.interfaces[0].replies.push_back(late);

    devicelink::write_report(devicelink::command_frame);
    devicelink::read_report();
    EXPECT_EQ(devicelink::input_report, std::vector<std::uint8_t>(65, 0));
    const auto discard = std::find(platform.events.begin(), platform.events.end(), "discard /dev/hidraw0");
    const auto write = std::find(platform.events.begin(), platform.events.end(), "write /dev/hidraw0");
    EXPECT_LT(discard, write);
}

TEST_F(device_link, read_report_keeps_a_nonzero_report_id_and_zero_fills_short_reports)
{
    add("/dev/hidraw0", 0x17A7, 0x0001);
    ASSERT_TRUE(devicelink::find_device());
    devicelink::write_report(devicelink::command_frame);
    platform.interfaces[0].replies.push_back({0x03, 0xAA, 0xBB});
    devicelink::read_report();
    ASSERT_EQ(devicelink::input_report.size(), 65u);
    EXPECT_EQ(devicelink::input_report[0], 0x03);
    EXPECT_EQ(devicelink::input_report[1], 0xAA);
    EXPECT_EQ(devicelink::input_report[2], 0xBB);
    EXPECT_TRUE(std::all_of(devicelink::input_report.begin() + 3, devicelink::input_report.end(),
                            [](std::uint8_t b) { return b == 0; }));
}

TEST_F(device_link, nothing_but_stream_frames_goes_out_during_a_data_stream)
{
    add("/dev/hidraw0", 0x17A7, 0x0001);
    ASSERT_TRUE(devicelink::find_device());
    devicelink::begin_data_stream(2);
    devicelink::write_stream_frame({1, 1, 1, 1, 1, 1, 1, 1});
    devicelink::build::remote_key(0x05);  // another window's command
    devicelink::write_report(devicelink::command_frame);
    devicelink::read_report();  // must not wait for a reply that cannot come
    devicelink::write_stream_frame({2, 2, 2, 2, 2, 2, 2, 2});
    EXPECT_FALSE(devicelink::data_stream_active());
    devicelink::write_report(devicelink::command_frame);

    ASSERT_EQ(platform.written.size(), 3u);
    EXPECT_EQ(platform.written[0][1], 1);
    EXPECT_EQ(platform.written[1][1], 2);
    EXPECT_EQ(platform.written[2][1], 0x13);
    EXPECT_EQ(devicelink::refused_frames(), 1u);
    EXPECT_EQ(std::count(platform.events.begin(), platform.events.end(), "read /dev/hidraw0"), 0);
}

TEST_F(device_link, close_handles_closes_both)
{
    add("/dev/hidraw0", 0x17A7, 0x0001);
    ASSERT_TRUE(devicelink::find_device());
    devicelink::close_handles();
    EXPECT_EQ(platform.open_handles, 0);
}

}  // namespace
