// The tick clock: short pauses between device commands are counted in ticks of
// a timer, about 15 ms each, the period the unit has always been paced with.
#pragma once

#include <cstdint>

class QObject;
class QTimer;

namespace devicelink {

inline constexpr int default_tick_interval_ms = 15;

// 0 to 4095; advanced by one per tick, after 4095 comes 0.
extern std::int16_t tick_count;

void tick();
// A running timer that advances tick_count, owned by parent (a main window's Timer1).
QTimer* start_tick_timer(QObject* parent);
// Sets tick_count to 0 and pumps window events until it reaches n. Blocks in
// the event loop between events instead of spinning.
void wait_ticks(int n);
// Pumps the events that are pending now, without waiting for more.
void pump_events();

// Test-only: a shorter tick, so suites do not spend their time waiting.
void set_tick_interval_for_tests(int ms);
int tick_interval_ms();

}  // namespace devicelink
