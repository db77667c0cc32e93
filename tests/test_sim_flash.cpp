#include <gtest/gtest.h>

#include <QCommandLineParser>
#include <QFile>
#include <QTemporaryDir>

#include "sim/flash.h"
#include "sim/options.h"
#include "sim/unit.h"
#include "support/virtual_unit.h"

namespace {

using testing_support::bytes;

void send(sim::unit& u, sim::frame f)
{
    sim::receive_frame(u, f);
}

void program(sim::unit& u, std::uint32_t address, const std::vector<std::uint8_t>& data)
{
    const auto n = static_cast<std::uint32_t>(data.size());
    send(u, bytes({0x01, 0, int(address & 0xFF), int((address >> 8) & 0xFF), int(address >> 16), int(n & 0xFF),
                   int((n >> 8) & 0xFF), int(n >> 16)}));
    for (std::size_t i = 0; i < data.size(); i += 8) {
        sim::frame f{};
        std::copy_n(data.begin() + static_cast<std::ptrdiff_t>(i), 8, f.begin());
        send(u, f);
    }
}

TEST(sim_flash, erases_the_sector_or_block_holding_the_address)
{
    sim::unit u;
    EXPECT_EQ(sim::flash_byte(u, 0x123456), 0xFF);
    program(u, 0x10000, std::vector<std::uint8_t>(0x10000, 0x00));
    u.replies.clear();
    send(u, bytes({0x04, 0, 0x45, 0x23, 0x01, 0x55, 0xAA, 0x55}));  // in the sector 0x12000
    EXPECT_EQ(u.replies.size(), 1u);
    send(u, bytes({0x05, 0, 0xCD, 0xAB, 0x01, 0x55, 0xAA, 0x55}));  // in the block 0x18000
    for (std::uint32_t a : {0x10000u, 0x11FFFu, 0x13000u, 0x17FFFu}) {
        EXPECT_EQ(sim::flash_byte(u, a), 0x00) << std::hex << a;
    }
    for (std::uint32_t a : {0x12000u, 0x12FFFu, 0x18000u, 0x1FFFFu}) {
        EXPECT_EQ(sim::flash_byte(u, a), 0xFF) << std::hex << a;
    }
}

TEST(sim_flash, programming_only_clears_bits_and_the_sum_shows_it)
{
    sim::unit u;
    program(u, 0x800, {0xF0, 0xF0, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF});
    EXPECT_EQ(u.replies.size(), 1u);  // the end of the data is answered
    program(u, 0x800, {0x0F, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF});
    EXPECT_EQ(sim::flash_byte(u, 0x800), 0x00);
    EXPECT_EQ(sim::flash_byte(u, 0x801), 0xF0);
    EXPECT_EQ(sim::flash_sum(u, 0x800, 2), 0xF0);
    // The last byte of the space wraps to the first.
    program(u, 0xFFFFF8, {1, 2, 3, 4, 5, 6, 7, 8});
    EXPECT_EQ(sim::flash_sum(u, 0xFFFFFC, 5), 5 + 6 + 7 + 8 + 0xFF);
}

TEST(sim_flash, checksum_comes_through_the_status_poll)
{
    sim::unit u;
    program(u, 0x1000, {1, 2, 3, 4, 5, 6, 7, 8});
    u.replies.clear();
    u.flash.polls_before_ready = 2;
    send(u, bytes({0x06, 0, 0x00, 0x10, 0x00, 8, 0, 0}));
    EXPECT_TRUE(u.replies.empty());
    std::vector<int> status;
    for (int i = 0; i < 4; ++i) {
        send(u, sim::frame{});
        status.push_back(u.replies.back()[1]);
    }
    EXPECT_EQ(status, (std::vector<int>{0, 0, 1, 1}));
    EXPECT_EQ(u.replies.back()[2], 36);
    EXPECT_EQ(u.replies.back()[3], 0);

    u.flash.never_ready = true;
    send(u, bytes({0x06, 0, 0x00, 0x10, 0x00, 8, 0, 0}));
    for (int i = 0; i < 10; ++i) {
        send(u, sim::frame{});
        EXPECT_EQ(u.replies.back()[1], 0);
    }
}

TEST(sim_flash, corrupts_the_chosen_byte_and_logs_mcu_writes)
{
    sim::unit u;
    u.flash.corrupt_address = 0x2003;
    program(u, 0x2000, {0, 1, 2, 3, 4, 5, 6, 7});
    EXPECT_NE(sim::flash_byte(u, 0x2003), 3);
    EXPECT_EQ(sim::flash_byte(u, 0x2004), 4);
    send(u, bytes({0x0B, 0, 1, 2, 3, 4, 5, 6}));
    ASSERT_EQ(u.flash.mcu_writes.size(), 1u);
    EXPECT_EQ(u.flash.mcu_writes[0], (std::array<std::uint8_t, 8>{0x0B, 0, 1, 2, 3, 4, 5, 6}));
}

TEST(sim_flash, zova3_sim_loads_and_saves_its_flash)
{
    QTemporaryDir dir;
    const QString file = dir.filePath("flash.bin");
    {
        QFile f(file);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(QByteArray("\x01\x02\x03", 3));
    }
    QCommandLineParser parser;
    sim::add_options(parser);
    ASSERT_TRUE(parser.parse({"zova3-sim", "--flash", file, "--flash-polls", "3", "--flash-never-ready",
                              "--flash-corrupt-at", "0x1234"}));
    sim::unit u;
    QString error;
    sim::apply_options(parser, u, error);
    EXPECT_TRUE(error.isEmpty()) << error.toStdString();
    EXPECT_EQ(sim::flash_bytes(u, 0, 4), (std::vector<std::uint8_t>{1, 2, 3, 0xFF}));
    EXPECT_EQ(u.flash.polls_before_ready, 3u);
    EXPECT_TRUE(u.flash.never_ready);
    EXPECT_EQ(u.flash.corrupt_address, 0x1234u);

    program(u, 0x10, {9, 9, 9, 9, 9, 9, 9, 0xFF});
    sim::finish(u);
    QFile saved(file);
    ASSERT_TRUE(saved.open(QIODevice::ReadOnly));
    QByteArray expected("\x01\x02\x03", 3);
    expected += QByteArray(13, '\xFF') + QByteArray(7, '\x09');
    EXPECT_EQ(saved.readAll(), expected);

    QCommandLineParser bad;
    sim::add_options(bad);
    ASSERT_TRUE(bad.parse({"zova3-sim", "--flash-corrupt-at", "0x1000000"}));
    sim::unit v;
    sim::apply_options(bad, v, error);
    EXPECT_FALSE(error.isEmpty());
}

}  // namespace
