// A virtual unit wired into the device link in-process, for window and
// procedure tests that check the frames on the wire and the unit's state.
#pragma once

#include <gtest/gtest.h>

#include "devicelink/link.h"
#include "sim/inproc_platform.h"
#include "sim/unit.h"

namespace testing_support {

class virtual_unit_test : public ::testing::Test {
protected:
    void SetUp() override
    {
        devicelink::reset_for_tests();
        platform.add(unit);
        devicelink::set_platform(&platform);
    }
    void TearDown() override
    {
        devicelink::close_handles();
        devicelink::set_platform(nullptr);
        devicelink::reset_for_tests();
    }
    // Commands the unit received since the log was last cleared (data frames left out).
    std::vector<sim::frame> commands() const { return sim::command_frames(unit); }

    sim::unit unit;
    sim::inproc_platform platform;
};

sim::frame bytes(std::initializer_list<int> values);

}  // namespace testing_support
