#include <gtest/gtest.h>

#include <QProcess>
#include <QScrollBar>

#include "adjust/form6.h"
#include "adjust/windows.h"
#include "devicelink/link.h"
#include "devicelink/linux_platform.h"
#include "support/doubles.h"
#include "support/sim_process.h"
#include "support/socket_unit.h"

namespace {

class timing_over_socket : public ::testing::Test {
protected:
    void SetUp() override
    {
        devicelink::reset_for_tests();
        devicelink::set_platform(&platform);
        adjust::timing_table.fill(0);
    }
    void TearDown() override
    {
        devicelink::close_handles();
        devicelink::set_platform(nullptr);
        devicelink::reset_for_tests();
    }
    testing_support::socket_units sockets;
    devicelink::linux_platform platform;
    testing_support::desktop_doubles doubles;
};

// The program zova3-sim, told where its timing area lies, serves the window:
// the base it reports carries the window's addresses into the next page.
TEST_F(timing_over_socket, zova3_sim_reports_the_base_it_was_given)
{
    const QString path = QString::fromStdString(sockets.directory() + "/timing.sock");
    testing_support::sim_process sim({"--socket", path, "--trace", "--timing-base", "0x01D0"});
    ASSERT_TRUE(sim.read_until("serving"));

    adjust::show_form6();
    adjust::Form6* form = adjust::form6();
    ASSERT_NE(form, nullptr);
    EXPECT_EQ(adjust::timing_base, (std::array<std::uint8_t, 2>{0xD0, 0x01}));
    EXPECT_EQ(form->h2size->value(), 640);
    form->pv1size->setValue(0x123);  // entry 66: address 0x0212
    form->close();
    delete form;
    ASSERT_TRUE(sim.read_until("timing_mode      0F 00"));

    const QString trace = QString::fromUtf8(sim.output);
    EXPECT_TRUE(trace.contains("timing_read      10 00 F8 01")) << trace.toStdString();
    EXPECT_TRUE(trace.contains("timing_read      10 00 18 02")) << trace.toStdString();
    EXPECT_TRUE(trace.contains("timing_write     11 00 12 02 23")) << trace.toStdString();
    EXPECT_TRUE(trace.contains("timing_apply     12 00 12 02 23")) << trace.toStdString();
}

TEST(zova3_sim_options, a_timing_base_beyond_16_bits_is_refused)
{
    QProcess sim;
    sim.start(ZOVA_SIM_PROGRAM, {"--socket", "/nonexistent/x.sock", "--timing-base", "0x10000"});
    ASSERT_TRUE(sim.waitForFinished(5000));
    EXPECT_EQ(sim.exitCode(), 2);
    EXPECT_TRUE(sim.readAllStandardError().contains("--timing-base"));
}

}  // namespace
