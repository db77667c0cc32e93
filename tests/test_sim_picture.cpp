#include <gtest/gtest.h>

#include <QCommandLineParser>
#include <QImage>
#include <QTemporaryDir>

#include "sim/picture.h"
#include "sim/unit.h"
#include "support/virtual_unit.h"

namespace {

using testing_support::bytes;

// Bytes 1 to 64 of the next n replies, as one stream.
std::vector<std::uint8_t> take_stream(sim::unit& u, std::size_t n)
{
    std::vector<std::uint8_t> stream;
    for (std::size_t i = 0; i < n && !u.replies.empty(); ++i) {
        const sim::report& r = u.replies.front();
        stream.insert(stream.end(), r.begin() + 1, r.begin() + 65);
        u.replies.pop_front();
    }
    return stream;
}

std::vector<std::uint8_t> expected_stream(const sim::picture_state& p, std::uint32_t y, std::size_t reports)
{
    std::vector<std::uint8_t> s(reports * 64);
    for (std::size_t i = 0; i < s.size(); ++i) {
        s[i] = sim::picture_pixel(p, static_cast<std::uint32_t>(i / 3), y)[i % 3];
    }
    return s;
}

TEST(sim_picture, picture_info_reports_sizes_configuration_and_signal)
{
    sim::unit u;
    u.picture.fpga = 1;
    u.picture.signal = false;
    sim::receive_frame(u, bytes({0x14, 0x5A, 0x5A, 0x5A, 0x5A, 0x5A, 0x5A, 0x5A}));
    ASSERT_EQ(u.replies.size(), 1u);
    const sim::report& r = u.replies.front();
    EXPECT_EQ(std::vector<std::uint8_t>(r.begin(), r.begin() + 9),
              (std::vector<std::uint8_t>{0, 0x79, 0x02, 0xD6, 0x01, 1, 0, 0, 0}));
}

TEST(sim_picture, line_reads_answer_successive_lines_and_start_again_after_picture_info)
{
    sim::unit u;
    const auto line_read = [&](int reports) { sim::receive_frame(u, bytes({0x15, reports, 0, 0, 0, 0, 0, 0})); };
    sim::receive_frame(u, bytes({0x14}));
    u.replies.clear();

    // 31 reports: one past the 640 pixels of the line, in the colour beyond it.
    for (std::uint32_t y = 0; y < 3; ++y) {
        line_read(31);
        ASSERT_EQ(u.replies.size(), 31u);
        const auto stream = take_stream(u, 31);
        EXPECT_EQ(stream, expected_stream(u.picture, y, 31)) << "line " << y;
        EXPECT_EQ(std::vector<std::uint8_t>(stream.begin() + 1920, stream.begin() + 1923),
                  (std::vector<std::uint8_t>{0xFF, 0x00, 0xFF}));
    }
    sim::receive_frame(u, bytes({0x14}));
    u.replies.clear();
    line_read(30);
    EXPECT_EQ(take_stream(u, 30), expected_stream(u.picture, 0, 30));

    // Past the last line: black.
    for (int y = 1; y < 480; ++y) {
        line_read(1);
    }
    u.replies.clear();
    line_read(2);
    EXPECT_EQ(take_stream(u, 2), std::vector<std::uint8_t>(128, 0));

    // No signal: black lines too.
    u.picture.signal = false;
    sim::receive_frame(u, bytes({0x14}));
    u.replies.clear();
    line_read(2);
    EXPECT_EQ(take_stream(u, 2), std::vector<std::uint8_t>(128, 0));
}

TEST(sim_picture, pattern_shows_border_byte_order_and_line_order)
{
    // Border white; bars left to right; gradients that differ from line to line.
    EXPECT_EQ(sim::pattern_pixel(640, 480, 0, 100), (sim::rgb{0xFF, 0xFF, 0xFF}));
    EXPECT_EQ(sim::pattern_pixel(640, 480, 639, 100), (sim::rgb{0xFF, 0xFF, 0xFF}));
    EXPECT_EQ(sim::pattern_pixel(640, 480, 300, 479), (sim::rgb{0xFF, 0xFF, 0xFF}));
    EXPECT_EQ(sim::pattern_pixel(640, 480, 5 * 80 + 1, 100), (sim::rgb{0xFF, 0x00, 0x00}));
    EXPECT_EQ(sim::pattern_pixel(640, 480, 6 * 80 + 1, 100), (sim::rgb{0x00, 0x00, 0xFF}));
    EXPECT_NE(sim::pattern_pixel(640, 480, 300, 300), sim::pattern_pixel(640, 480, 300, 301));
    EXPECT_NE(sim::pattern_pixel(640, 480, 300, 300), sim::pattern_pixel(640, 480, 302, 300));
}

TEST(sim_picture, freeze_state_is_kept_logged_and_answered)
{
    sim::unit u;
    std::vector<std::string> traced;
    u.trace = [&](const std::string& line) { traced.push_back(line); };
    for (int state : {1, 0, 1}) {
        sim::receive_frame(u, bytes({0x16, state, 0x5A, 0, 0, 0, 0, 0}));
    }
    EXPECT_TRUE(u.picture.frozen);
    EXPECT_EQ(u.picture.freeze_log, (std::vector<std::uint8_t>{1, 0, 1}));
    EXPECT_EQ(u.replies.size(), 3u);
    EXPECT_EQ(traced.size(), 6u);
    EXPECT_EQ(traced[1], "picture frozen");
    EXPECT_EQ(traced[3], "picture live");
}

TEST(sim_picture, options_configure_the_picture)
{
    QTemporaryDir dir;
    QImage source(300, 200, QImage::Format_RGB32);
    for (int y = 0; y < 200; ++y) {
        for (int x = 0; x < 300; ++x) {
            source.setPixel(x, y, qRgb(x & 0xFF, y, 255 - (x & 0xFF)));
        }
    }
    const QString png = dir.filePath("picture.png");
    ASSERT_TRUE(source.save(png));
    const QString tiny = dir.filePath("tiny.png");
    ASSERT_TRUE(QImage(6, 20, QImage::Format_RGB32).save(tiny));

    struct option_case {
        QStringList arguments;
        bool ok = false;
        std::uint16_t h = 0, v = 0;
        std::uint8_t fpga = 0;
        bool signal = false;
        bool from_file = false;
    };
    const std::vector<option_case> cases{
        {{}, true, 633, 470, 2, true, false},
        {{"--picture-size", "249x230"}, true, 249, 230, 2, true, false},
        {{"--fpga", "1", "--no-signal"}, true, 633, 470, 1, false, false},
        {{"--picture", png}, true, 293, 190, 2, true, true},
        {{"--picture-size", "633"}, false},
        {{"--picture-size", "70000x1"}, false},
        {{"--fpga", "256"}, false},
        {{"--picture", dir.filePath("missing.png")}, false},
        {{"--picture", tiny}, false},
        {{"--picture-size", "633x470", "--picture", png}, false},
    };
    for (const option_case& c : cases) {
        SCOPED_TRACE(c.arguments.join(' ').toStdString());
        QCommandLineParser parser;
        sim::add_picture_options(parser);
        ASSERT_TRUE(parser.parse(QStringList{"zova3-sim"} + c.arguments));
        sim::unit u;
        QString error;
        EXPECT_EQ(sim::apply_picture_options(parser, u, error), c.ok);
        EXPECT_EQ(error.isEmpty(), c.ok);
        if (!c.ok) {
            continue;
        }
        EXPECT_EQ(u.picture.h, c.h);
        EXPECT_EQ(u.picture.v, c.v);
        EXPECT_EQ(u.picture.fpga, c.fpga);
        EXPECT_EQ(u.picture.signal, c.signal);
        if (c.from_file) {
            for (std::uint32_t y : {0u, 57u, 199u}) {
                for (std::uint32_t x : {0u, 131u, 299u}) {
                    const QRgb want = source.pixel(static_cast<int>(x), static_cast<int>(y));
                    EXPECT_EQ(sim::picture_pixel(u.picture, x, y),
                              (sim::rgb{static_cast<std::uint8_t>(qRed(want)), static_cast<std::uint8_t>(qGreen(want)),
                                        static_cast<std::uint8_t>(qBlue(want))}));
                }
            }
        }
    }
}

}  // namespace
