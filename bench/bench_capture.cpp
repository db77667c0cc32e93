// The capture window's own time per picture line: a whole read-out against an
// in-process virtual unit with no link latency, less the unit's share of it.
// The link itself needs one report per millisecond, 30 ms for a 640-pixel line.
#include <QApplication>
#include <QEvent>
#include <QPushButton>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <vector>

#include "adjust/form1.h"
#include "adjust/form5.h"
#include "devicelink/link.h"
#include "devicelink/tick_clock.h"
#include "sim/inproc_platform.h"
#include "sim/unit.h"

namespace {

using clock_type = std::chrono::steady_clock;

// Counts the picture box's repaints, to show that drawing is part of the figures.
class paint_counter final : public QObject {
public:
    bool eventFilter(QObject*, QEvent* event) override
    {
        count += event->type() == QEvent::Paint ? 1 : 0;
        return false;
    }
    int count = 0;
};

double median(std::vector<double> v)
{
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}

double since_ms(clock_type::time_point start)
{
    return std::chrono::duration<double, std::milli>(clock_type::now() - start).count();
}

// What the unit alone spends on one read-out's frames and replies.
double unit_ms(std::uint16_t h, std::uint16_t v, int lines, int reports)
{
    sim::unit u;
    u.picture.h = h;
    u.picture.v = v;
    const auto start = clock_type::now();
    sim::receive_frame(u, {0x16, 1});
    u.replies.clear();
    sim::receive_frame(u, {0x14, 1});
    u.replies.clear();
    for (int y = 0; y < lines; ++y) {
        sim::receive_frame(u, {0x15, static_cast<std::uint8_t>(reports)});
        u.replies.clear();
    }
    sim::receive_frame(u, {0x16, 0});
    u.replies.clear();
    return since_ms(start);
}

void measure(const char* name, std::uint16_t h, std::uint16_t v, int runs)
{
    sim::unit u;
    u.picture.h = h;
    u.picture.v = v;
    sim::inproc_platform platform;
    platform.add(u);
    devicelink::reset_for_tests();
    devicelink::set_platform(&platform);
    adjust::connected = 1;

    std::vector<double> whole;
    std::vector<double> unit_only;
    int lines = 0;
    int reports = 0;
    paint_counter paints;
    {
        adjust::Form5 form;
        form.Picture1->installEventFilter(&paints);
        form.show();
        devicelink::pump_events();
        for (int run = 0; run <= runs; ++run) {
            const auto start = clock_type::now();
            form.Command2->click();
            const double ms = since_ms(start);
            lines = adjust::picture_height;
            reports = adjust::transfer_width / 64 * 3;
            if (run > 0) {  // the first run warms caches and allocations
                whole.push_back(ms);
                unit_only.push_back(unit_ms(h, v, lines, reports));
            }
        }
    }
    devicelink::close_handles();
    devicelink::set_platform(nullptr);

    const double per_line = median(whole) / lines;
    const double unit_per_line = median(unit_only) / lines;
    const double own = per_line - unit_per_line;
    const double link_ms = reports * 1.0;
    std::printf("%-24s %4d x %4d  %2d reports/line  whole %.3f ms/line  unit %.3f ms/line  "
                "program %.3f ms/line  = %.2f %% of the link's %.0f ms  (%d repaints in %d runs)\n",
                name, adjust::picture_width, lines, reports, per_line, unit_per_line, own, 100.0 * own / link_ms,
                link_ms, paints.count, runs + 1);
}

}  // namespace

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    QApplication app(argc, argv);
    std::printf("capture read-out, median of the runs, window shown (offscreen unless QT_QPA_PLATFORM says else)\n");
    measure("640 x 480", 633, 470, 9);
    measure("largest accepted", 1977, 1289, 3);
    std::printf("target: program under 0.6 ms per 640-pixel line (2 %% of 30 ms)\n");
    return 0;
}
