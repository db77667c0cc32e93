#include <gtest/gtest.h>

#include <QFile>
#include <QProcess>
#include <QTemporaryDir>

#include <fcntl.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

#include <chrono>
#include <cstring>

#include "devicelink/commands.h"
#include "devicelink/link.h"
#include "devicelink/linux_platform.h"
#include "devicelink/virtual_units.h"
#include "sim/server.h"
#include "support/sim_process.h"
#include "support/socket_unit.h"

namespace {

using testing_support::socket_units;

class over_socket : public ::testing::Test {
protected:
    void SetUp() override
    {
        devicelink::reset_for_tests();
        devicelink::set_platform(&platform);
    }
    void TearDown() override
    {
        devicelink::close_handles();
        devicelink::set_platform(nullptr);
        devicelink::reset_for_tests();
    }
    // Virtual units only: a hidraw node of the test machine must not take part.
    std::vector<std::string> units() { return devicelink::list_virtual_units(); }

    socket_units sockets;
    devicelink::linux_platform platform;
};

int connect_raw(const std::string& path)
{
    sockaddr_un a{};
    a.sun_family = AF_UNIX;
    std::strcpy(a.sun_path, path.c_str());
    const int fd = ::socket(AF_UNIX, SOCK_SEQPACKET, 0);
    EXPECT_EQ(::connect(fd, reinterpret_cast<sockaddr*>(&a), sizeof a), 0);
    return fd;
}

TEST_F(over_socket, greeting_then_one_report_per_message)
{
    sim::options opt;
    opt.vendor = 0x04D8;
    opt.product = 0x0000;
    opt.version = 0x0203;
    opt.input_length = 70;
    opt.output_length = 33;
    sockets.serve("unit", opt);
    const std::string path = sockets.path("unit");

    const int fd = connect_raw(path);
    std::array<std::uint8_t, 128> m{};
    ASSERT_EQ(::recv(fd, m.data(), m.size(), 0), 10);
    EXPECT_EQ(std::vector<std::uint8_t>(m.begin(), m.begin() + 10),
              (std::vector<std::uint8_t>{0xD8, 0x04, 0x00, 0x00, 0x03, 0x02, 70, 0, 33, 0}));

    std::array<std::uint8_t, 33> query{};
    query[1] = 0x02;
    ASSERT_EQ(::send(fd, query.data(), query.size(), 0), 33);
    const ssize_t got = ::recv(fd, m.data(), m.size(), 0);
    EXPECT_EQ(got, 70);
    EXPECT_EQ(m[0], 0);
    EXPECT_TRUE(std::any_of(m.begin() + 1, m.begin() + 9, [](std::uint8_t b) { return b != 0; }));
    ::close(fd);
}

TEST_F(over_socket, program_finds_the_matching_unit_in_name_order_and_leaves_others)
{
    sim::options foreign;
    foreign.vendor = 0x1234;
    sim::unit& second = sockets.serve("c-second");
    sim::unit& wanted = sockets.serve("b-wanted");
    sim::unit& stranger = sockets.serve("a-stranger", foreign);

    ASSERT_EQ(units().size(), 3u);
    ASSERT_TRUE(devicelink::find_device());
    EXPECT_TRUE(devicelink::device_path.ends_with("b-wanted.sock"));

    devicelink::command_frame.fill(0x77);
    devicelink::build::presence_query();
    devicelink::exchange();
    EXPECT_EQ(devicelink::input_report[1], 'Z');
    devicelink::close_handles();
    sockets.stop();

    ASSERT_EQ(wanted.log.size(), 1u);
    EXPECT_EQ(wanted.log[0].bytes, (sim::frame{0x02, 0, 0, 0, 0, 0, 0, 0}));
    EXPECT_TRUE(stranger.log.empty());
    EXPECT_TRUE(second.log.empty());
}

TEST_F(over_socket, output_report_is_zero_filled_to_the_announced_length)
{
    // A unit that records the raw message: serve by hand.
    const std::string path = sockets.directory() + "/raw.sock";
    const int listener = sim::listen_on(path);
    std::vector<std::uint8_t> received;
    std::thread server([&] {
        const int fd = ::accept(listener, nullptr, nullptr);
        const auto g = devicelink::encode_greeting({0x17A7, 0x0002, 1, 65, 40});
        ::send(fd, g.data(), g.size(), 0);
        std::array<std::uint8_t, 256> m{};
        const ssize_t n = ::recv(fd, m.data(), m.size(), 0);
        received.assign(m.begin(), m.begin() + std::max<ssize_t>(n, 0));
        ::close(fd);
    });
    ASSERT_TRUE(devicelink::find_device());
    devicelink::command_frame.fill(0x77);
    devicelink::build::presence_query();
    devicelink::write_report(devicelink::command_frame);
    server.join();
    ::close(listener);

    std::vector<std::uint8_t> expected(40, 0);
    expected[1] = 0x02;
    EXPECT_EQ(received, expected);
}

TEST_F(over_socket, silent_unit_read_times_out_after_one_second_with_zeros)
{
    sim::options silent;
    silent.silent = true;
    sockets.serve("silent", silent);
    ASSERT_TRUE(devicelink::find_device());
    devicelink::build::presence_query();
    devicelink::write_report(devicelink::command_frame);
    const auto start = std::chrono::steady_clock::now();
    devicelink::read_report();
    const auto waited = std::chrono::steady_clock::now() - start;
    EXPECT_GE(waited, std::chrono::milliseconds(950));
    EXPECT_LT(waited, std::chrono::milliseconds(3000));
    EXPECT_EQ(devicelink::input_report, std::vector<std::uint8_t>(65, 0));
}

TEST_F(over_socket, no_or_malformed_greeting_does_not_match)
{
    std::vector<int> listeners;
    std::vector<std::thread> servers;
    // "a": greets with nine bytes; "b": never greets.
    for (const char* name : {"a", "b"}) {
        const std::string path = sockets.directory() + "/" + name + ".sock";
        const int l = sim::listen_on(path);
        listeners.push_back(l);
        const bool short_greeting = name[0] == 'a';
        servers.emplace_back([l, short_greeting] {
            const int fd = ::accept(l, nullptr, nullptr);
            if (short_greeting) {
                const auto g = devicelink::encode_greeting({0x17A7, 0x0001, 1, 65, 65});
                ::send(fd, g.data(), 9, 0);
            }
            std::array<std::uint8_t, 16> m{};
            ::recv(fd, m.data(), m.size(), 0);  // returns when the program disconnects
            ::close(fd);
        });
    }
    EXPECT_FALSE(devicelink::find_device());
    for (auto& s : servers) {
        s.join();
    }
    for (int l : listeners) {
        ::close(l);
    }
}

TEST_F(over_socket, zova3_sim_program_serves_and_traces_frames)
{
    const std::string path = sockets.directory() + "/program.sock";
    {
        testing_support::sim_process sim({"--socket", QString::fromStdString(path), "--trace", "--product", "0x0002"});
        ASSERT_TRUE(sim.read_until("serving"));

        ASSERT_TRUE(devicelink::find_device());
        devicelink::build::presence_query();
        devicelink::exchange();
        EXPECT_NE(devicelink::input_report[1], 0);
        devicelink::close_handles();

        ASSERT_TRUE(sim.read_until("presence_query"));
        const QString trace = QString::fromUtf8(sim.output.mid(sim.output.indexOf("presence_query")));
        EXPECT_TRUE(trace.section('\n', 0, 0).contains("02 00 00 00 00 00 00 00")) << trace.toStdString();
        sim.process.terminate();
        ASSERT_TRUE(sim.process.waitForFinished(5000));
        EXPECT_EQ(sim.process.exitCode(), 0);
    }
    EXPECT_NE(::access(path.c_str(), F_OK), 0) << "socket left behind";
}

TEST(hidraw_nodes, are_tried_in_numeric_order_and_other_names_are_ignored)
{
    QTemporaryDir dev;
    for (const char* name : {"hidraw10", "hidraw2", "hidraw0", "hidraw", "hidraw1x", "hiddev0", "hidraw9"}) {
        QFile f(dev.filePath(name));
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    }
    const std::string d = dev.path().toStdString();
    EXPECT_EQ(devicelink::list_hidraw_nodes(d),
              (std::vector<std::string>{d + "/hidraw0", d + "/hidraw2", d + "/hidraw9", d + "/hidraw10"}));
}

// A FIFO stands in for a hidraw node of a device without numbered reports:
// the kernel hands over the report alone, and the link must still find the
// report ID at index 0.
TEST(hidraw_nodes, unnumbered_reports_get_a_zero_report_id_in_front)
{
    QTemporaryDir dev;
    const std::string node = dev.filePath("hidraw0").toStdString();
    ASSERT_EQ(::mkfifo(node.c_str(), 0600), 0);
    const int device_side = ::open(node.c_str(), O_RDWR);
    ASSERT_GE(device_side, 0);

    devicelink::linux_platform p;
    const int handle = p.open(node);
    const int reader = p.open_for_reading(node);
    ASSERT_GE(handle, 0);
    ASSERT_GE(reader, 0);

    const std::array<std::uint8_t, 3> stale{9, 9, 9};
    ASSERT_EQ(::write(device_side, stale.data(), stale.size()), 3);
    p.discard_pending(reader);

    const std::array<std::uint8_t, 4> report{0xA1, 0xB2, 0xC3, 0xD4};
    ASSERT_EQ(::write(device_side, report.data(), report.size()), 4);
    std::vector<std::uint8_t> buffer(65, 0xEE);
    EXPECT_EQ(p.read(reader, buffer, 1000), 5);
    std::vector<std::uint8_t> expected(65, 0);
    std::copy(report.begin(), report.end(), expected.begin() + 1);
    EXPECT_EQ(buffer, expected);

    const auto start = std::chrono::steady_clock::now();
    EXPECT_EQ(p.read(reader, buffer, 100), 0);
    EXPECT_GE(std::chrono::steady_clock::now() - start, std::chrono::milliseconds(90));

    // Writes go out as given, report ID first.
    const std::array<std::uint8_t, 9> out{0, 2, 0, 0, 0, 0, 0, 0, 0};
    EXPECT_TRUE(p.write(handle, out));
    std::array<std::uint8_t, 16> got{};
    EXPECT_EQ(::read(device_side, got.data(), got.size()), 9);
    EXPECT_EQ(got[1], 2);
    p.close(reader);
    p.close(handle);
    ::close(device_side);
}

TEST(virtual_unit_directory, tmp_fallback_is_used_only_when_private)
{
    const char* old = std::getenv("XDG_RUNTIME_DIR");
    const std::string saved = old ? old : "";
    ::unsetenv("XDG_RUNTIME_DIR");
    EXPECT_EQ(devicelink::virtual_unit_directory(), "/tmp/zova3-" + std::to_string(::getuid()));

    QTemporaryDir dir;
    const std::string d = dir.path().toStdString();
    struct mode_case {
        mode_t mode;
        bool trusted;
    };
    for (const mode_case c : {mode_case{0700, true}, mode_case{0755, true}, mode_case{0770, false},
                              mode_case{0707, false}, mode_case{01777, false}}) {
        ::chmod(d.c_str(), c.mode);
        EXPECT_EQ(devicelink::virtual_unit_directory_trusted(d), c.trusted) << std::oct << c.mode;
    }
    EXPECT_FALSE(devicelink::virtual_unit_directory_trusted(d + "/missing"));
    if (old) {
        ::setenv("XDG_RUNTIME_DIR", saved.c_str(), 1);
    }
}

}  // namespace
