// Flash programming against the in-process virtual unit, with no link
// latency: what the program itself costs per data frame, and how long a
// whole update of the example package takes.
//
//   bench_flash [package.z3b]
#include <QApplication>
#include <QFrame>
#include <QLineEdit>
#include <QTemporaryDir>

#include <chrono>
#include <cstdio>
#include <filesystem>

#include "devicelink/link.h"
#include "devicelink/tick_clock.h"
#include "flash/flash.h"
#include "sim/inproc_platform.h"
#include "sim/unit.h"
#include "tests/support/doubles.h"
#include "update/form1.h"

namespace {

using clock_type = std::chrono::steady_clock;

// Times the data stream on the wire: from write_start to the last data frame.
class timed_platform final : public devicelink::hid_platform {
public:
    timed_platform(sim::inproc_platform& inner, sim::unit& u) : inner_(inner), unit_(u) {}

    std::vector<std::string> list_interfaces() override { return inner_.list_interfaces(); }
    int open(const std::string& path) override { return inner_.open(path); }
    int open_for_reading(const std::string& path) override { return inner_.open_for_reading(path); }
    bool get_attributes(int h, devicelink::hid_attributes& out) override { return inner_.get_attributes(h, out); }
    bool get_report_lengths(int h, devicelink::report_lengths& out) override
    {
        return inner_.get_report_lengths(h, out);
    }
    bool write(int h, std::span<const std::uint8_t> report) override
    {
        const bool was_data = unit_.data_frames_left > 0;
        if (!was_data && report.size() > 1 && report[1] == 0x01) {
            stream_start = clock_type::now();
        }
        const bool ok = inner_.write(h, report);
        if (was_data && unit_.data_frames_left == 0) {
            stream_time += clock_type::now() - stream_start;
        }
        return ok;
    }
    int read(int h, std::span<std::uint8_t> buffer, int timeout_ms) override
    {
        return inner_.read(h, buffer, timeout_ms);
    }
    void discard_pending(int h) override { inner_.discard_pending(h); }
    void close(int h) override { inner_.close(h); }

    clock_type::duration stream_time{};

private:
    sim::inproc_platform& inner_;
    sim::unit& unit_;
    clock_type::time_point stream_start{};
};

double us(clock_type::duration d)
{
    return std::chrono::duration<double, std::micro>(d).count();
}

// The virtual unit's own share: the same regions fed to it directly.
double unit_us_per_frame(std::uint32_t frames, int runs)
{
    sim::unit u;
    const std::uint32_t length = frames * 8;
    sim::receive_frame(u, {0x04, 0, 0, 0, 0x10, 0x55, 0xAA, 0x55});  // its memory comes into being here
    const sim::frame start{0x01, 0, 0, 0, 0x10, static_cast<std::uint8_t>(length & 0xFF),
                           static_cast<std::uint8_t>((length >> 8) & 0xFF), static_cast<std::uint8_t>(length >> 16)};
    const sim::frame data{1, 2, 3, 4, 5, 6, 7, 8};
    const auto t0 = clock_type::now();
    for (int r = 0; r < runs; ++r) {
        sim::receive_frame(u, start);
        for (std::uint32_t i = 0; i < frames; ++i) {
            sim::receive_frame(u, data);
        }
    }
    return us(clock_type::now() - t0) / (double(frames) * runs);
}

struct unit_on_link {
    sim::unit unit;
    sim::inproc_platform inproc;
    timed_platform timed{inproc, unit};
    unit_on_link()
    {
        devicelink::reset_for_tests();
        inproc.add(unit);
        devicelink::set_platform(&timed);
    }
    ~unit_on_link()
    {
        devicelink::close_handles();
        devicelink::set_platform(nullptr);
        devicelink::reset_for_tests();
    }
};

void report_stream(const char* what, std::uint32_t frames, int runs, clock_type::duration stream_time)
{
    const double total = us(stream_time) / (double(frames) * runs);
    const double unit_share = unit_us_per_frame(frames, runs);
    std::printf("%-34s %8u frames  %6.2f us/frame on the wire, of which the virtual unit %5.2f: program %6.2f us/frame"
                " (%.1f%% of a 1 ms USB frame)\n",
                what, frames, total, unit_share, total - unit_share, (total - unit_share) / 10.0);
}

}  // namespace

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    QApplication app(argc, argv);
    testing_support::desktop_doubles doubles;
    QLineEdit status;
    QLineEdit result;
    QFrame bar;
    const flash::screen screen{&status, &result, &bar, flash::program::update};

    {
        QTemporaryDir dir;
        const QString path = dir.filePath("image.bin");
        QFile file(path);
        file.open(QIODevice::WriteOnly);
        QByteArray content(0x100000, 0);
        for (qsizetype i = 0; i < content.size(); ++i) {
            content[i] = static_cast<char>(i * 7 + (i >> 10));
        }
        file.write(content);
        file.close();

        unit_on_link link;
        flash::flash_address = 0x100000;
        const auto t0 = clock_type::now();
        const bool ok = flash::download_f(screen, path);
        const auto whole = clock_type::now() - t0;
        report_stream("download_f, 1 MiB file", 0x100000 / 8, 1, link.timed.stream_time);
        std::printf("%-34s %s, whole download %.0f ms (erase and checksum waits included)\n", "", ok ? "verified" : "FAILED",
                    us(whole) / 1000);
    }
    {
        unit_on_link link;
        for (std::size_t i = 0; i < flash::image_buffer.size(); ++i) {
            flash::image_buffer[i] = static_cast<std::uint8_t>(i * 3);
        }
        constexpr int runs = 20;
        bool ok = true;
        for (int r = 0; r < runs; ++r) {
            flash::flash_address = flash::image_address;
            ok = flash::bindownload(screen, "image") && ok;
        }
        report_stream("bindownload, 32760 bytes", flash::image_length / 8, runs, link.timed.stream_time);
        std::printf("%-34s %s (%d runs)\n", "", ok ? "verified" : "FAILED", runs);
    }
    {
        const std::filesystem::path source = std::filesystem::path(__FILE__).parent_path().parent_path();
        const QString package =
            argc > 1 ? QString::fromLocal8Bit(argv[1]) : QString::fromStdString((source / "examples/example.z3b").string());
        for (int tick_ms : {devicelink::default_tick_interval_ms, 1}) {
            devicelink::set_tick_interval_for_tests(tick_ms);
            unit_on_link link;
            update::Form1 form;
            doubles.dialogs.answers.push_back(package);
            const auto t0 = clock_type::now();
            form.run_update();
            const auto whole = clock_type::now() - t0;
            std::printf("whole update of %s, %2d ms tick: %.0f ms, %s\n", qPrintable(package), tick_ms,
                        us(whole) / 1000, qPrintable(form.Text1->text()));
        }
    }
    return 0;
}
