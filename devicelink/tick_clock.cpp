#include "devicelink/tick_clock.h"

#include <QCoreApplication>
#include <QEventLoop>
#include <QTimer>

#include <memory>

namespace devicelink {

std::int16_t tick_count = 0;

namespace {

int interval_ms = default_tick_interval_ms;
int running_timers = 0;

}  // namespace

void tick()
{
    tick_count = static_cast<std::int16_t>((tick_count + 1) & 0xFFF);
}

QTimer* start_tick_timer(QObject* parent)
{
    auto* timer = new QTimer(parent);
    timer->setTimerType(Qt::PreciseTimer);
    timer->setInterval(interval_ms);
    QObject::connect(timer, &QTimer::timeout, [] { tick(); });
    QObject::connect(timer, &QObject::destroyed, [] { --running_timers; });
    ++running_timers;
    timer->start();
    return timer;
}

void wait_ticks(int n)
{
    // A wait outside any main window (a tool or test with no Timer1) still needs
    // ticks, or it would block forever.
    std::unique_ptr<QTimer> own;
    if (running_timers == 0) {
        own.reset(start_tick_timer(nullptr));
    }
    tick_count = 0;
    while (tick_count < n) {
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
    }
}

void pump_events()
{
    QCoreApplication::processEvents();
}

void set_tick_interval_for_tests(int ms)
{
    interval_ms = ms;
}

int tick_interval_ms()
{
    return interval_ms;
}

}  // namespace devicelink
