#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QTimer>

#include "devicelink/tick_clock.h"

namespace {

TEST(tick_clock, counts_in_twelve_bits_and_wraps_to_zero)
{
    devicelink::tick_count = 4094;
    devicelink::tick();
    EXPECT_EQ(devicelink::tick_count, 4095);
    devicelink::tick();
    EXPECT_EQ(devicelink::tick_count, 0);
}

TEST(tick_clock, production_tick_is_fifteen_milliseconds)
{
    EXPECT_EQ(devicelink::default_tick_interval_ms, 15);
}

TEST(tick_clock, wait_ticks_pumps_other_handlers_until_the_count_is_reached)
{
    QObject owner;
    QTimer* timer = devicelink::start_tick_timer(&owner);
    EXPECT_TRUE(timer->isActive());
    bool other_handler_ran = false;
    QTimer::singleShot(0, [&] { other_handler_ran = true; });
    devicelink::tick_count = 100;  // reset by the wait
    devicelink::wait_ticks(3);
    EXPECT_TRUE(other_handler_ran);
    EXPECT_GE(devicelink::tick_count, 3);
    EXPECT_LT(devicelink::tick_count, 100);
}

TEST(tick_clock, wait_without_a_main_window_timer_still_ends)
{
    devicelink::wait_ticks(2);
    EXPECT_GE(devicelink::tick_count, 2);
}

}  // namespace
