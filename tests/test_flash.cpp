#include <gtest/gtest.h>

#include <QFile>
#include <QTimer>

#include <chrono>

#include "devicelink/commands.h"
#include "devicelink/link.h"
#include "devicelink/twips.h"
#include "flash_fixture.h"
#include "sim/flash.h"

namespace {

using flash_testing::flash_test;
using flash_testing::pattern;
using flash_testing::text_log;
using testing_support::bytes;

sim::frame erase_frame(int code, std::uint32_t a)
{
    return bytes({code, 0, int(a & 0xFF), int((a >> 8) & 0xFF), int((a >> 16) & 0xFF), 0x55, 0xAA, 0x55});
}
sim::frame block(std::uint32_t a)
{
    return erase_frame(0x05, a);
}
sim::frame sector(std::uint32_t a)
{
    return erase_frame(0x04, a);
}
sim::frame flash_frame(int code, std::uint32_t a, std::uint32_t n)
{
    return bytes({code, 0, int(a & 0xFF), int((a >> 8) & 0xFF), int((a >> 16) & 0xFF), int(n & 0xFF),
                  int((n >> 8) & 0xFF), int((n >> 16) & 0xFF)});
}
const sim::frame poll{};

QString hex(unsigned v)
{
    return QString::number(v, 16).toUpper();
}

// ---- The protocol ----

TEST_F(flash_test, erase_plans_leave_the_last_32k_to_sectors)
{
    struct erase_case {
        std::uint32_t address;
        std::uint32_t length;
        std::vector<sim::frame> frames;
    };
    std::vector<sim::frame> one_mib;
    for (std::uint32_t k = 0; k < 31; ++k) {
        one_mib.push_back(block(0x100000 + k * 0x8000));
    }
    for (std::uint32_t j = 0; j < 8; ++j) {
        one_mib.push_back(sector(0x1F8000 + j * 0x1000));
    }
    const std::vector<erase_case> cases{
        {0xF8000, 8, {sector(0xF8000)}},
        {0x1F1000, 4088, {sector(0x1F1000)}},
        {0xE8000, 32768,
         {sector(0xE8000), sector(0xE9000), sector(0xEA000), sector(0xEB000), sector(0xEC000), sector(0xED000),
          sector(0xEE000), sector(0xEF000)}},
        {0xE8000, 32776, {block(0xE8000), sector(0xF0000)}},
        {0xE8000, 65536,
         {block(0xE8000), sector(0xF0000), sector(0xF1000), sector(0xF2000), sector(0xF3000), sector(0xF4000),
          sector(0xF5000), sector(0xF6000), sector(0xF7000)}},
        {0x100000, 0x100000, one_mib},
        // Bits above bit 23 are not sent.
        {0x10F8000, 8, {sector(0xF8000)}},
    };
    for (const erase_case& c : cases) {
        unit.log.clear();
        int blocks_reported = 0;
        flash::erase_region(c.address, c.length, [&] { ++blocks_reported; });
        EXPECT_EQ(commands(), c.frames) << std::hex << c.address << " " << c.length;
        EXPECT_EQ(blocks_reported, std::count_if(c.frames.begin(), c.frames.end(),
                                                 [](const sim::frame& f) { return f[0] == 0x05; }));
    }
}

TEST_F(flash_test, write_region_announces_the_region_and_streams_it_unacknowledged)
{
    const auto content = pattern(32760, 1);
    std::vector<std::uint32_t> offsets;
    flash::erase_region(0xF8000, 32760);
    unit.log.clear();
    EXPECT_TRUE(flash::write_region(0xF8000, 32760, [&](std::uint32_t n, std::span<std::uint8_t, 8> out) {
        offsets.push_back(n);
        std::copy_n(content.begin() + n, 8, out.begin());
        return true;
    }));
    EXPECT_EQ(commands(), (std::vector<sim::frame>{bytes({0x01, 0x00, 0x00, 0x80, 0x0F, 0xF8, 0x7F, 0x00})}));
    EXPECT_EQ(data_frames().size(), 4095u);
    EXPECT_EQ(offsets.front(), 0u);
    EXPECT_EQ(offsets[2], 16u);
    EXPECT_EQ(offsets.back(), 32752u);
    EXPECT_EQ(sim::flash_bytes(unit, 0xF8000, 32760), content);
    EXPECT_FALSE(devicelink::data_stream_active());
}

TEST_F(flash_test, a_source_that_gives_up_still_completes_the_announced_frames)
{
    EXPECT_FALSE(flash::write_region(0xF8000, 32, [](std::uint32_t n, std::span<std::uint8_t, 8> out) {
        std::fill(out.begin(), out.end(), 0x12);
        return n < 8;
    }));
    EXPECT_EQ(data_frames(), (std::vector<sim::frame>{bytes({0x12, 0x12, 0x12, 0x12, 0x12, 0x12, 0x12, 0x12}),
                                                      bytes({0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF}),
                                                      bytes({0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF}),
                                                      bytes({0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF})}));
    EXPECT_FALSE(devicelink::data_stream_active());
    // The link takes commands again.
    devicelink::build::presence_query();
    devicelink::write_report(devicelink::command_frame);
    EXPECT_EQ(commands().back()[0], 0x02);
}

TEST_F(flash_test, checksum_polls_until_ready_and_keeps_the_request_in_the_frame)
{
    QString error;
    ASSERT_TRUE(sim::load_flash(unit, write_file("image", pattern(0x200000, 3)).toStdString(), error));
    const sim::frame request = bytes({0x06, 0x00, 0x00, 0x10, 0x1F, 0xF8, 0x0F, 0x00});
    for (std::uint32_t not_ready : {0u, 3u}) {
        unit.log.clear();
        unit.flash.polls_before_ready = not_ready;
        EXPECT_EQ(flash::read_checksum(0x1F1000, 4088), sim::flash_sum(unit, 0x1F1000, 4088));
        std::vector<sim::frame> expected{request};
        expected.insert(expected.end(), not_ready + 1, poll);
        EXPECT_EQ(commands(), expected);
        EXPECT_EQ(devicelink::command_frame, request);
    }
}

TEST_F(flash_test, the_status_poll_gives_up_after_its_bound)
{
    flash::set_status_poll_limit_for_tests(std::chrono::milliseconds(40));
    unit.flash.never_ready = true;
    const auto start = std::chrono::steady_clock::now();
    EXPECT_FALSE(flash::read_checksum(0xE8000, 8).has_value());
    const auto elapsed = std::chrono::steady_clock::now() - start;
    EXPECT_GE(elapsed, std::chrono::milliseconds(40));
    EXPECT_LT(elapsed, std::chrono::seconds(5));
    EXPECT_GT(commands().size(), 2u);
}

// ---- File downloads ----

TEST_F(flash_test, download_f_pads_the_last_group_and_verifies)
{
    const auto content = pattern(20, 2);
    const QString path = write_file("app.bin", content);
    text_log texts(status);
    flash::flash_address = 0xE8000;
    EXPECT_TRUE(flash::download_f(screen, path));

    EXPECT_EQ(commands(), (std::vector<sim::frame>{sector(0xE8000), flash_frame(0x01, 0xE8000, 24),
                                                   flash_frame(0x06, 0xE8000, 20), poll}));
    auto sent = content;
    sent.resize(24, 0x00);
    EXPECT_EQ(data_bytes(), sent);
    EXPECT_EQ(sim::flash_bytes(unit, 0xE8000, 24), sent);
    EXPECT_EQ(texts.texts, (std::vector<QString>{path + "  Download", "Download End", "check sum start"}));
    unsigned sum = 0;
    for (auto b : content) {
        sum += b;
    }
    EXPECT_EQ(result.text(), QString("Check sum=%1  Write OK  rom=%2 file=%2").arg(hex(sum).rightJustified(4, '0'), hex(sum)));
}

TEST_F(flash_test, a_64k_file_erases_one_block_and_shows_erace_once)
{
    const QString path = write_file("app.bin", pattern(65536, 4));
    text_log texts(status);
    flash::flash_address = 0xE8000;
    EXPECT_TRUE(flash::download_f(screen, path));
    ASSERT_FALSE(texts.texts.empty());
    EXPECT_EQ(texts.texts.front(), "Erace");
    EXPECT_EQ(std::count(texts.texts.begin(), texts.texts.end(), QString("Erace")), 1);
    EXPECT_EQ(commands()[0], block(0xE8000));
    EXPECT_EQ(sim::flash_bytes(unit, 0xE8000, 65536), pattern(65536, 4));
}

TEST_F(flash_test, result_texts_pad_only_the_first_sum)
{
    const QString path = write_file("one.bin", std::vector<std::uint8_t>{0xAB});
    flash::flash_address = 0xE8000;
    EXPECT_TRUE(flash::download_f(screen, path));
    EXPECT_EQ(result.text(), "Check sum=00AB  Write OK  rom=AB file=AB");

    flash::screen adjust{&status, &status, nullptr, flash::program::adjust};
    EXPECT_TRUE(flash::download_f(adjust, path));
    EXPECT_EQ(status.text(), "Chack sum=00AB  Write OK  rom=AB file=AB");
}

TEST_F(flash_test, a_corrupted_byte_shows_write_error_and_returns_false)
{
    const auto content = pattern(4000, 5);
    const QString path = write_file("app.bin", content);
    unit.flash.corrupt_address = 0xE8000 + 123;
    flash::flash_address = 0xE8000;
    EXPECT_FALSE(flash::download_f(screen, path));
    unsigned sum = 0;
    for (auto b : content) {
        sum += b;
    }
    const unsigned rom = sim::flash_sum(unit, 0xE8000, 4000);
    ASSERT_NE(rom, sum & 0xFFFF);
    EXPECT_EQ(result.text(), QString("Write error  rom=%1 file=%2").arg(hex(rom), hex(sum & 0xFFFF)));
}

TEST_F(flash_test, unreadable_files_send_nothing)
{
    struct refused_case {
        QString path;
        QString status_text;
    };
    const QString open_error = QStringLiteral("ファイル オープン　エラー");
    for (const refused_case& c : {refused_case{"", "before"}, refused_case{dir.filePath("missing.bin"), open_error},
                                  refused_case{write_file("empty.bin", QByteArray()), open_error},
                                  refused_case{dir.path(), open_error}}) {
        status.setText("before");
        result.setText("before");
        EXPECT_FALSE(flash::download_f(screen, c.path));
        EXPECT_EQ(status.text(), c.status_text) << c.path.toStdString();
        EXPECT_EQ(result.text(), "before");
        EXPECT_TRUE(unit.log.empty());
    }
    EXPECT_FALSE(QFile::exists(dir.filePath("missing.bin")));
}

TEST_F(flash_test, a_file_over_1_mib_is_written_and_checked_for_its_first_mib)
{
    const auto content = pattern(0x100005, 6);
    const QString path = write_file("big.bin", content);
    flash::flash_address = 0x200000;
    EXPECT_TRUE(flash::download_f(screen, path));
    const auto c = commands();
    EXPECT_EQ(std::count(c.begin(), c.end(), flash_frame(0x01, 0x200000, 0x100000)), 1);
    EXPECT_EQ(std::count(c.begin(), c.end(), flash_frame(0x06, 0x200000, 0x100000)), 1);
    EXPECT_EQ(data_frames().size(), 131072u);
    EXPECT_EQ(sim::flash_byte(unit, 0x300000), 0xFF);
}

TEST_F(flash_test, a_file_that_shrinks_while_sent_fails_and_ends_the_stream)
{
    const QString path = write_file("app.bin", pattern(200000, 7));
    QTimer::singleShot(0, [&] { QFile(path).resize(1000); });
    flash::flash_address = 0x100000;
    EXPECT_FALSE(flash::download_f(screen, path));
    EXPECT_EQ(status.text(), QStringLiteral("ファイル オープン　エラー"));
    EXPECT_EQ(data_frames().size(), 25000u);
    EXPECT_EQ(data_frames().back(), bytes({0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF}));
    EXPECT_FALSE(devicelink::data_stream_active());
    EXPECT_EQ(commands().back()[0], 0x01);  // no checksum request
}

TEST_F(flash_test, an_unanswered_status_poll_fails_like_a_mismatch)
{
    flash::set_status_poll_limit_for_tests(std::chrono::milliseconds(30));
    const QString path = write_file("zeros.bin", std::vector<std::uint8_t>(8, 0));
    for (bool unplugged : {true, false}) {
        SCOPED_TRACE(unplugged);
        unit.log.clear();
        unit.frames_received = 0;
        // Unplugged after erase, write_start, the data frame and the request;
        // or plugged in with a sum that never becomes ready.
        unit.opt.stop_after_frames = unplugged ? 4 : 0;
        unit.flash.never_ready = !unplugged;
        flash::flash_address = 0xE8000;
        EXPECT_FALSE(flash::download_f(screen, path));
        // Both sums are 0 here: only the missing answer makes it an error.
        EXPECT_EQ(result.text(), "Write error  rom=0 file=0");
    }
}

// ---- Image downloads ----

TEST_F(flash_test, bindownload_sends_32760_bytes_at_its_address)
{
    flash::image_buffer.fill(0xFF);
    std::fill(flash::image_buffer.begin() + 32760, flash::image_buffer.end(), 0x11);
    text_log texts(status);
    flash::flash_address = 0xF8000;
    EXPECT_TRUE(flash::bindownload(screen, "name.hex"));

    std::vector<sim::frame> expected;
    for (std::uint32_t a = 0xF8000; a < 0x100000; a += 0x1000) {
        expected.push_back(sector(a));
    }
    expected.push_back(bytes({0x01, 0x00, 0x00, 0x80, 0x0F, 0xF8, 0x7F, 0x00}));
    expected.push_back(bytes({0x06, 0x00, 0x00, 0x80, 0x0F, 0xF8, 0x7F, 0x00}));
    expected.push_back(poll);
    EXPECT_EQ(commands(), expected);
    EXPECT_EQ(data_frames().size(), 4095u);
    EXPECT_EQ(sim::flash_bytes(unit, 0xF8000 + 32760, 8), std::vector<std::uint8_t>(8, 0xFF));
    EXPECT_EQ(result.text(), "Check sum=7808  Write OK  rom=7808 file=7808");
    EXPECT_EQ(texts.texts, (std::vector<QString>{"name.hex  Download", "Download End"}));
    // The bar last moved at the 4080th frame, whose first byte is 32632.
    EXPECT_EQ(bar.width(), desktop::px(5000 * 32632 / 32760));
}

TEST_F(flash_test, bindownload_short_sends_4088_bytes)
{
    flash::image_buffer.fill(0xFF);
    flash::flash_address = 0x1F1000;
    EXPECT_TRUE(flash::bindownload_short(screen, "short.hex"));
    EXPECT_EQ(commands(), (std::vector<sim::frame>{bytes({0x04, 0x00, 0x00, 0x10, 0x1F, 0x55, 0xAA, 0x55}),
                                                   bytes({0x01, 0x00, 0x00, 0x10, 0x1F, 0xF8, 0x0F, 0x00}),
                                                   bytes({0x06, 0x00, 0x00, 0x10, 0x1F, 0xF8, 0x0F, 0x00}), poll}));
    EXPECT_EQ(result.text(), "Check sum=E808  Write OK  rom=E808 file=E808");
}

// ---- HEX loaders ----

class hex_loader : public flash_test {
protected:
    // What the image download after a load sent.
    std::vector<std::uint8_t> sent() { return data_bytes(); }
    std::vector<std::uint8_t> image = pattern(32768, 8);
    std::span<const std::uint8_t> img{image};
};

TEST_F(hex_loader, only_the_first_section_is_taken)
{
    using flash_testing::data_records;
    using flash_testing::extended_address;
    struct section_case {
        QByteArray file;
        std::vector<std::pair<int, int>> taken;  // [first, end) ranges of the image
    };
    const std::vector<section_case> cases{
        {data_records(img, 0, 16, 16) + extended_address() + data_records(img, 16, 48, 16) + extended_address() +
             data_records(img, 48, 64, 16) + flash_testing::end_record,
         {{16, 48}}},
        {data_records(img, 0, 64, 16) + flash_testing::end_record, {}},
        // The limit: a record starting below it is taken whole.
        {extended_address() + data_records(img, 0x7D70, 0x7D90, 16) + flash_testing::end_record,
         {{0x7D70, 0x7D80}}},
    };
    for (const section_case& c : cases) {
        unit.log.clear();
        const QString path = write_file("image.hex", c.file);
        EXPECT_TRUE(flash::hex_f(screen, path));
        std::vector<std::uint8_t> expected(32760, 0);
        for (auto [first, end] : c.taken) {
            std::copy(image.begin() + first, image.begin() + end, expected.begin() + first);
        }
        EXPECT_EQ(sent(), expected);
        EXPECT_EQ(sim::flash_bytes(unit, 0xF8000, 32760), expected);
        EXPECT_EQ(flash::flash_address, 0xF8000);
    }
}

TEST_F(hex_loader, offsets_at_or_above_the_limit_are_skipped)
{
    // Records at 0x7D80 and 0xFFF0 would land outside the image.
    QByteArray file = flash_testing::extended_address();
    const std::uint8_t sixteen[16]{1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16};
    file += flash_testing::record(0x7D80, 0, sixteen);
    file += flash_testing::record(0xFFF0, 0, sixteen);
    EXPECT_TRUE(flash::hex_f(screen, write_file("high.hex", file)));
    EXPECT_EQ(sent(), std::vector<std::uint8_t>(32760, 0));
}

TEST_F(hex_loader, record_kinds_by_loader)
{
    const std::uint8_t fourteen[14]{1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14};
    const std::uint8_t sixteen[16]{0xAA, 0xBB, 0xCC, 0xDD, 0xEE, 0xFF, 1, 2, 3, 4, 5, 6, 7, 8, 9, 0x0A};
    QByteArray lower_0e = flash_testing::record(0x40, 0, fourteen);
    lower_0e = lower_0e.left(2) + "e" + lower_0e.mid(3);  // ":0e": the kind is compared exactly
    const QByteArray lower_digits = flash_testing::record(0x20, 0, sixteen).toLower();
    const QByteArray file = flash_testing::extended_address() + flash_testing::record(0x00, 0, fourteen) +
                            lower_digits + lower_0e + flash_testing::end_record;
    const QString path = write_file("kinds.hex", file);

    std::vector<std::uint8_t> expected(32760, 0);
    std::copy(std::begin(sixteen), std::end(sixteen), expected.begin() + 0x20);
    EXPECT_TRUE(flash::hex_f(screen, path));
    EXPECT_EQ(sent(), expected);

    unit.log.clear();
    std::copy(std::begin(fourteen), std::end(fourteen), expected.begin());
    expected.resize(4088);
    EXPECT_TRUE(flash::hex_f_short(screen, path));
    EXPECT_EQ(sent(), expected);
    EXPECT_EQ(commands()[1], bytes({0x01, 0x00, 0x00, 0x10, 0x1F, 0xF8, 0x0F, 0x00}));
    EXPECT_EQ(sim::flash_bytes(unit, 0x1F1000, 4088), expected);
}

TEST_F(hex_loader, malformed_files_are_refused_before_anything_is_sent)
{
    const std::uint8_t sixteen[16]{};
    const QByteArray good = flash_testing::record(0, 0, sixteen);  // ":10000000" + 32 zeros + "F0\r\n"
    QByteArray bad_digit = good;
    bad_digit[12] = 'G';
    QByteArray extra_pair = good;
    extra_pair.insert(good.size() - 4, "00");  // 17 bytes in a ":10" record
    QByteArray bad_sum = good;
    bad_sum[good.size() - 3] = '1';
    for (const QByteArray& line : {bad_digit, extra_pair, bad_sum, QByteArray("10000000\r\n")}) {
        flash::image_buffer.fill(0x33);
        status.setText({});
        const QString path =
            write_file("bad.hex", flash_testing::extended_address() + line + flash_testing::end_record);
        EXPECT_FALSE(flash::hex_f(screen, path)) << line.toStdString();
        EXPECT_EQ(status.text(), QStringLiteral("ファイル オープン　エラー"));
        EXPECT_TRUE(unit.log.empty());
        EXPECT_EQ(flash::image_buffer[0], 0x33);
    }
    EXPECT_FALSE(flash::hex_f_short(screen, dir.filePath("missing.hex")));
    EXPECT_EQ(status.text(), QStringLiteral("ファイル オープン　エラー"));
    EXPECT_TRUE(unit.log.empty());
}

TEST_F(hex_loader, blank_lines_and_line_ends_are_accepted)
{
    QByteArray file = flash_testing::extended_address() + "\r\n\n" + flash_testing::data_records(img, 0, 32, 16);
    file.replace("\r\n", "\n");
    file += "\r\n" + flash_testing::end_record;
    EXPECT_TRUE(flash::hex_f(screen, write_file("lf.hex", file)));
    EXPECT_TRUE(std::equal(image.begin(), image.begin() + 32, sent().begin()));
}

TEST_F(hex_loader, each_load_starts_from_zeros_and_an_empty_path_sends_the_buffer)
{
    using flash_testing::data_records;
    EXPECT_TRUE(flash::hex_f(screen, write_file("full.hex", flash_testing::extended_address() +
                                                                data_records(img, 0, 32752, 16))));
    unit.log.clear();
    EXPECT_TRUE(flash::hex_f_short(screen, write_file("part.hex", flash_testing::extended_address() +
                                                                       data_records(img, 0, 256, 16))));
    std::vector<std::uint8_t> expected(4088, 0);
    std::copy_n(image.begin(), 256, expected.begin());
    EXPECT_EQ(sent(), expected);

    unit.log.clear();
    flash::image_buffer.fill(0x5A);
    EXPECT_TRUE(flash::hex_f(screen, ""));
    EXPECT_EQ(sent(), std::vector<std::uint8_t>(32760, 0x5A));
    EXPECT_EQ(commands()[8], bytes({0x01, 0x00, 0x00, 0x80, 0x0F, 0xF8, 0x7F, 0x00}));
    EXPECT_EQ(status.text(), "Download End");
}

}  // namespace
