#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QImage>
#include <QMetaObject>
#include <QPlainTextEdit>
#include <QPointer>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>

#include <algorithm>
#include <memory>
#include <mutex>

#include "adjust/bmp.h"
#include "adjust/busy.h"
#include "adjust/form1.h"
#include "adjust/form5.h"
#include "adjust/windows.h"
#include "devicelink/link.h"
#include "devicelink/linux_platform.h"
#include "sim/picture.h"
#include "support/doubles.h"
#include "support/socket_unit.h"
#include "support/virtual_unit.h"

namespace {

using testing_support::bytes;

const QString ready_text = QStringLiteral(
    "ZOVA-3 Capture 準備完了\nキャプチャー操作中は本体やリモコンのボタンを操作しないでください。");
const QString fpga_text =
    QStringLiteral("ZOVA-3 FPGA SELECTをB2にしてください。 \nZOVA-3と本アプリを再スタートしてください。");
const QString rejected_text = QStringLiteral("入力映像が無いか、不適切です。");
const QString live = QStringLiteral("静止");
const QString frozen = QStringLiteral("静止中");

QString status_text(int width, int height)
{
    return QStringLiteral("画面情報：水平SIZE= %1dot , 垂直SIZE= %2dot , RGB　24bit").arg(width).arg(height);
}

// The enabled state of Command1 to Command5 as a string of 1s and 0s.
std::string enabled(const adjust::Form5& f)
{
    std::string s;
    for (QPushButton* b : {f.Command1, f.Command2, f.Command3, f.Command4, f.Command5}) {
        s += b->isEnabled() ? '1' : '0';
    }
    return s;
}

void click(QPushButton* b)
{
    QTest::mouseClick(b, Qt::LeftButton);
}

std::uint32_t le32(const QByteArray& b, int at)
{
    return static_cast<std::uint32_t>(static_cast<std::uint8_t>(b[at]) | static_cast<std::uint8_t>(b[at + 1]) << 8 |
                                      static_cast<std::uint8_t>(b[at + 2]) << 16 |
                                      static_cast<std::uint8_t>(b[at + 3]) << 24);
}

std::uint16_t le16(const QByteArray& b, int at)
{
    return static_cast<std::uint16_t>(static_cast<std::uint8_t>(b[at]) | static_cast<std::uint8_t>(b[at + 1]) << 8);
}

// The store must hold the unit's picture on the lines read, black past the
// active width and on every line not read.
void expect_store_holds(const sim::picture_state& p, std::int32_t lines_read)
{
    const auto active = static_cast<std::int32_t>(sim::picture_width(p));
    ASSERT_EQ(adjust::pixel_store.size(), static_cast<std::size_t>(adjust::store_width) * adjust::store_height * 3);
    int wrong = 0;
    for (std::int32_t y = 0; y < adjust::store_height; ++y) {
        for (std::int32_t x = 0; x < adjust::store_width; ++x) {
            sim::rgb want{0, 0, 0};
            if (y < lines_read && x < active) {
                want = sim::picture_pixel(p, x, y);
            }
            const std::uint8_t* got = &adjust::pixel_store[(static_cast<std::size_t>(y) * adjust::store_width + x) * 3];
            if (got[0] != want[2] || got[1] != want[1] || got[2] != want[0]) {
                if (++wrong <= 3) {
                    ADD_FAILURE() << "pixel (" << x << ", " << y << ")";
                }
            }
        }
    }
    EXPECT_EQ(wrong, 0);
}

class adjust_form5 : public testing_support::virtual_unit_test {
protected:
    void SetUp() override
    {
        virtual_unit_test::SetUp();
        adjust::connected = 1;
        adjust::pixel_store.clear();
        adjust::store_width = 0;
        adjust::store_height = 0;
        adjust::file_path.clear();
        devicelink::command_frame.fill(0x5A);  // whatever an earlier window left
    }
    void TearDown() override
    {
        delete adjust::form5();
        adjust::set_download_running(false);
        virtual_unit_test::TearDown();
    }
    adjust::Form5& open()
    {
        adjust::show_form5();
        return *adjust::form5();
    }
    std::vector<sim::frame> commands_after_load() const
    {
        const auto all = commands();
        return {all.begin() + 1, all.end()};
    }
    QString saved(const QString& name) const { return QDir(folder.path()).filePath(name); }

    QTemporaryDir folder;
    testing_support::desktop_doubles doubles{folder.path()};
};

TEST_F(adjust_form5, layout_follows_the_design_in_twips)
{
    adjust::Form5& f = open();
    EXPECT_EQ(f.windowTitle(), QStringLiteral("ZOVA-3 Capture Tool"));
    EXPECT_EQ(f.size(), QSize(567, 416));
    EXPECT_EQ(f.Picture1->geometry(), QRect(16, 0, 533, 300));
    EXPECT_EQ(f.Command1->geometry(), QRect(24, 304, 81, 57));
    EXPECT_EQ(f.Command2->geometry(), QRect(136, 304, 81, 57));
    EXPECT_EQ(f.Command3->geometry(), QRect(248, 304, 73, 57));
    EXPECT_EQ(f.Command4->geometry(), QRect(352, 304, 73, 57));
    EXPECT_EQ(f.Command5->geometry(), QRect(456, 304, 73, 57));
    EXPECT_EQ(f.Text1->geometry(), QRect(32, 368, 497, 41));
    EXPECT_EQ(f.Command2->text(), QStringLiteral("キャプチャー"));
    EXPECT_EQ(f.Command3->text(), QStringLiteral("停止"));
    EXPECT_EQ(f.Command4->text(), QStringLiteral("BMP保存"));
    EXPECT_EQ(f.Command5->text(), QStringLiteral("終了"));
}

TEST_F(adjust_form5, load_checks_the_fpga_configuration)
{
    struct load_case {
        std::uint8_t fpga;
        bool silent;
        QString text;
        std::string buttons;
    };
    for (const load_case& c : {load_case{2, false, ready_text, "11101"}, load_case{1, false, fpga_text, "00001"},
                               load_case{0, true, fpga_text, "00001"}}) {
        SCOPED_TRACE(c.fpga);
        unit.log.clear();
        unit.picture.fpga = c.fpga;
        unit.opt.silent = c.silent;
        devicelink::command_frame.fill(0x5A);
        adjust::Form5& f = open();
        EXPECT_EQ(f.Text1->toPlainText(), c.text);
        EXPECT_EQ(enabled(f), c.buttons);
        EXPECT_EQ(f.Command1->text(), live);
        EXPECT_EQ(adjust::freeze_state, 0);
        EXPECT_EQ(commands(), (std::vector<sim::frame>{bytes({0x14, 0x5A, 0x5A, 0x5A, 0x5A, 0x5A, 0x5A, 0x5A})}));
        delete &f;
    }
}

TEST_F(adjust_form5, sizes_placement_and_plausibility)
{
    // One line per read-out: the program thinks no unit answered at start-up.
    adjust::connected = 0;
    struct size_case {
        std::uint16_t h, v;
        bool signal;
        bool accepted;
        std::int32_t transfer, width, height;
        int reports;
        QRect box;  // Picture1 in pixels
    };
    const QRect design(16, 0, 533, 300);
    const std::vector<size_case> cases{
        {633, 470, true, true, 640, 640, 480, 30, {83, 0, 400, 300}},
        {713, 470, true, true, 768, 720, 480, 36, {58, 0, 450, 300}},
        {634, 470, true, true, 704, 644, 480, 33, {81, 0, 403, 300}},
        {249, 230, true, true, 256, 256, 240, 12, {123, 0, 320, 300}},
        {58, 91, true, true, 128, 68, 101, 6, {182, 0, 202, 300}},
        {633, 1289, true, true, 640, 640, 1299, 30, {209, 0, 148, 300}},
        {1977, 470, true, true, 1984, 1984, 480, 93, {-337, 0, 1240, 300}},
        {633, 1290, true, false, 640, 640, 1300, 0, design},
        {1978, 470, true, false, 2048, 1988, 480, 0, design},
        {57, 470, true, false, 64, 64, 480, 0, design},
        {633, 90, true, false, 640, 640, 100, 0, design},
        {633, 470, false, false, 640, 640, 480, 0, design},
    };
    for (const size_case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.h << " x " << c.v << (c.signal ? "" : ", no signal"));
        adjust::pixel_store.clear();
        unit.picture.h = c.h;
        unit.picture.v = c.v;
        unit.picture.signal = c.signal;
        adjust::Form5& f = open();
        unit.log.clear();
        click(f.Command2);

        EXPECT_EQ(adjust::transfer_width, c.transfer);
        EXPECT_EQ(adjust::picture_width, c.width);
        EXPECT_EQ(adjust::picture_height, c.height);
        EXPECT_EQ(f.Picture1->geometry(), c.box);
        EXPECT_EQ(enabled(f), "11111");
        const auto sent = commands();
        ASSERT_EQ(sent.size(), c.accepted ? 4u : 3u);
        if (c.accepted) {
            EXPECT_EQ(f.Text1->toPlainText(), status_text(c.width, c.height));
            EXPECT_EQ(sent[2][0], 0x15);
            EXPECT_EQ(sent[2][1], c.reports);
            EXPECT_EQ(f.Picture1->image.size(), QSize(c.width, c.height));
            expect_store_holds(unit.picture, 1);
        } else {
            EXPECT_EQ(f.Text1->toPlainText(), rejected_text);
            EXPECT_TRUE(adjust::pixel_store.empty());
            EXPECT_TRUE(f.Picture1->image.isNull());
        }
        delete &f;
    }
}

TEST_F(adjust_form5, full_read_out_matches_the_picture_on_the_wire_in_the_store_and_on_screen)
{
    adjust::Form5& f = open();
    click(f.Command2);

    std::vector<sim::frame> want{bytes({0x16, 0x01, 0x5A, 0x5A, 0x5A, 0x5A, 0x5A, 0x5A}),
                                 bytes({0x14, 0x01, 0x5A, 0x5A, 0x5A, 0x5A, 0x5A, 0x5A})};
    want.insert(want.end(), 480, bytes({0x15, 30, 0x5A, 0x5A, 0x5A, 0x5A, 0x5A, 0x5A}));
    want.push_back(bytes({0x16, 0x00, 0x5A, 0x5A, 0x5A, 0x5A, 0x5A, 0x5A}));
    EXPECT_EQ(commands_after_load(), want);
    EXPECT_EQ(unit.picture.freeze_log, (std::vector<std::uint8_t>{1, 0}));
    EXPECT_FALSE(unit.picture.frozen);
    EXPECT_EQ(f.Command1->text(), live);
    EXPECT_EQ(f.Text1->toPlainText(), status_text(640, 480));
    expect_store_holds(unit.picture, 480);

    // The picture box keeps the drawing and paints it scaled, nearest pixel.
    const QImage& drawn = f.Picture1->image;
    ASSERT_EQ(drawn.size(), QSize(640, 480));
    const QImage screen = f.Picture1->grab().toImage();
    ASSERT_EQ(screen.size(), QSize(400, 300));
    int wrong = 0;
    for (int sy = 0; sy < 300; ++sy) {
        for (int sx = 0; sx < 400; ++sx) {
            const QRgb shown = screen.pixel(sx, sy);
            const int x0 = sx * 640 / 400;
            const int y0 = sy * 480 / 300;
            bool found = false;
            for (int y = std::max(0, y0 - 1); y <= std::min(479, y0 + 2) && !found; ++y) {
                for (int x = std::max(0, x0 - 1); x <= std::min(639, x0 + 2) && !found; ++x) {
                    const sim::rgb c = sim::picture_pixel(unit.picture, x, y);
                    found = shown == qRgb(c[0], c[1], c[2]);
                }
            }
            wrong += found ? 0 : 1;
        }
    }
    EXPECT_EQ(wrong, 0);

    // Saved whole: 54 + 640 × 480 × 3 bytes, height -480.
    doubles.dialogs.answers.push_back(saved("full"));
    click(f.Command4);
    QFile file(saved("full.bmp"));
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const QByteArray b = file.readAll();
    EXPECT_EQ(b.size(), 921654);
    EXPECT_EQ(le32(b, 2), 921654u);
    EXPECT_EQ(le32(b, 18), 640u);
    EXPECT_EQ(b.mid(22, 4), QByteArray("\x20\xFE\xFF\xFF", 4));
}

// A stop, by the button or by the window's close box, takes effect at the end
// of the line during which it came.
TEST_F(adjust_form5, stop_during_line_100_ends_after_it_and_restores_the_freeze_state)
{
    for (const bool by_close_box : {false, true}) {
        SCOPED_TRACE(by_close_box ? "close box" : "停止");
        QPointer<adjust::Form5> f = &open();
        unit.log.clear();
        unit.picture.freeze_log.clear();
        int lines_asked = 0;
        unit.trace = [&](const std::string&) {
            if (!unit.log.empty() && unit.log.back().bytes[0] == 0x15 && lines_asked++ == 100) {
                QMetaObject::invokeMethod(
                    f.data(),
                    [&] {
                        if (by_close_box) {
                            f->close();
                        } else {
                            click(f->Command3);
                        }
                    },
                    Qt::QueuedConnection);
            }
        };
        click(f->Command2);
        unit.trace = nullptr;

        const auto sent = commands();
        ASSERT_EQ(sent.size(), 2u + 101u + 1u);
        EXPECT_EQ(sent.back()[0], 0x16);
        EXPECT_EQ(sent.back()[1], 0x00);
        EXPECT_EQ(unit.picture.freeze_log, (std::vector<std::uint8_t>{1, 0}));
        expect_store_holds(unit.picture, 101);
        if (by_close_box) {
            QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
            EXPECT_TRUE(f.isNull());
            EXPECT_EQ(adjust::form5(), nullptr);
        } else {
            // Lines not reached stay in the background colour on screen.
            const QColor background = f->palette().color(QPalette::Window);
            EXPECT_EQ(f->Picture1->image.pixelColor(320, 101), background);
            EXPECT_EQ(f->Picture1->image.pixelColor(320, 479), background);
            EXPECT_NE(f->Picture1->image.pixelColor(320, 100), background);
            EXPECT_EQ(enabled(*f), "11111");
            delete f.data();
        }
    }
}

TEST_F(adjust_form5, freeze_state_is_restored_both_ways)
{
    adjust::connected = 0;  // one line is enough here
    for (const bool frozen_before : {false, true}) {
        SCOPED_TRACE(frozen_before);
        adjust::Form5& f = open();
        unit.log.clear();
        if (frozen_before) {
            click(f.Command1);
            EXPECT_EQ(f.Command1->text(), frozen);
            EXPECT_TRUE(unit.picture.frozen);
        }
        click(f.Command2);
        EXPECT_EQ(unit.picture.frozen, frozen_before);
        EXPECT_EQ(adjust::freeze_state, frozen_before ? 1 : 0);
        EXPECT_EQ(f.Command1->text(), frozen_before ? frozen : live);
        EXPECT_EQ(commands().back(), bytes({0x16, frozen_before ? 1 : 0, 0x5A, 0x5A, 0x5A, 0x5A, 0x5A, 0x5A}));

        // The switch carries on from the restored state.
        click(f.Command1);
        EXPECT_EQ(unit.picture.frozen, !frozen_before);
        EXPECT_EQ(f.Command1->text(), frozen_before ? live : frozen);
        delete &f;
    }
}

TEST_F(adjust_form5, bmp_of_a_small_picture_field_by_field)
{
    unit.picture.h = 58;  // 65 active pixels in a 68-pixel row, 101 lines
    unit.picture.v = 91;
    adjust::Form5& f = open();
    click(f.Command2);
    doubles.dialogs.answers.push_back(saved("shot.png"));
    click(f.Command4);

    ASSERT_EQ(doubles.dialogs.requests.size(), 1u);
    EXPECT_TRUE(doubles.dialogs.was_save[0]);
    EXPECT_EQ(doubles.dialogs.requests[0].title, QStringLiteral("ファイルを保存"));
    EXPECT_EQ(doubles.dialogs.requests[0].start_folder, folder.path());
    EXPECT_EQ(doubles.dialogs.requests[0].filter, QStringLiteral("24ﾋﾞｯﾄ ﾋﾞｯﾄﾏｯﾌﾟ(*.bmp)"));
    EXPECT_EQ(adjust::file_path, saved("shot.bmp"));
    EXPECT_FALSE(QFile::exists(saved("shot.png")));

    QFile file(saved("shot.bmp"));
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const QByteArray b = file.readAll();
    const std::uint32_t data_size = 68 * 101 * 3;
    ASSERT_EQ(b.size(), static_cast<qsizetype>(54 + data_size));
    EXPECT_EQ(b.left(2), QByteArray("BM"));
    EXPECT_EQ(le32(b, 2), 54 + data_size);
    EXPECT_EQ(le16(b, 6), 0);
    EXPECT_EQ(le16(b, 8), 0);
    EXPECT_EQ(le32(b, 10), 54u);
    EXPECT_EQ(le32(b, 14), 40u);
    EXPECT_EQ(static_cast<std::int32_t>(le32(b, 18)), 68);
    EXPECT_EQ(static_cast<std::int32_t>(le32(b, 22)), -101);
    EXPECT_EQ(le16(b, 26), 1);
    EXPECT_EQ(le16(b, 28), 24);
    EXPECT_EQ(le32(b, 30), 0u);
    EXPECT_EQ(le32(b, 34), 0u);
    EXPECT_EQ(le32(b, 38), 3780u);
    EXPECT_EQ(le32(b, 42), 3780u);
    EXPECT_EQ(le32(b, 46), 0u);
    EXPECT_EQ(le32(b, 50), 0u);
    EXPECT_EQ(b.mid(54), QByteArray(reinterpret_cast<const char*>(adjust::pixel_store.data()),
                                    static_cast<qsizetype>(adjust::pixel_store.size())));

    // Qt's own reader sees the picture the unit sent, black past the active width.
    const QImage back(saved("shot.bmp"));
    ASSERT_EQ(back.size(), QSize(68, 101));
    int wrong = 0;
    for (int y = 0; y < 101; ++y) {
        for (int x = 0; x < 68; ++x) {
            const sim::rgb c = x < 65 ? sim::picture_pixel(unit.picture, x, y) : sim::rgb{0, 0, 0};
            wrong += back.pixel(x, y) == qRgb(c[0], c[1], c[2]) ? 0 : 1;
        }
    }
    EXPECT_EQ(wrong, 0);

    // The extension rule; a cancelled dialog writes nothing.
    ASSERT_TRUE(QDir(folder.path()).mkdir("v1.2"));
    struct name_case {
        QString chosen, written;
    };
    for (const name_case& c : {name_case{saved("plain"), saved("plain.bmp")},
                               name_case{saved("kept.bmp"), saved("kept.bmp")},
                               name_case{saved("two.dots.jpg"), saved("two.dots.bmp")},
                               name_case{saved("v1.2/inside"), saved("v1.2/inside.bmp")}}) {
        doubles.dialogs.answers.push_back(c.chosen);
        click(f.Command4);
        EXPECT_EQ(adjust::file_path, c.written);
        EXPECT_EQ(QFile(c.written).size(), 54 + data_size) << c.written.toStdString();
    }
    const QStringList before = QDir(folder.path()).entryList(QDir::Files);
    click(f.Command4);  // no answer queued: cancelled
    EXPECT_EQ(QDir(folder.path()).entryList(QDir::Files), before);
}

TEST_F(adjust_form5, rejected_read_out_changes_nothing_that_a_save_writes)
{
    adjust::Form5& f = open();

    // Rejected before any picture was accepted: enabled, but nothing to save.
    unit.picture.signal = false;
    click(f.Command2);
    EXPECT_EQ(f.Text1->toPlainText(), rejected_text);
    EXPECT_TRUE(f.Command4->isEnabled());
    doubles.dialogs.answers.push_back(saved("nothing"));
    click(f.Command4);
    EXPECT_TRUE(doubles.dialogs.requests.empty());
    EXPECT_TRUE(QDir(folder.path()).entryList(QDir::Files).empty());
    doubles.dialogs.answers.clear();

    // A 256 × 240 picture, then a rejected 640 × 480 attempt.
    unit.picture.signal = true;
    unit.picture.h = 249;
    unit.picture.v = 230;
    click(f.Command2);
    const std::vector<std::uint8_t> picture = adjust::pixel_store;
    const QRect box = f.Picture1->geometry();
    unit.picture.signal = false;
    unit.picture.h = 633;
    unit.picture.v = 470;
    click(f.Command2);
    EXPECT_EQ(adjust::picture_width, 640);
    EXPECT_EQ(adjust::picture_height, 480);
    EXPECT_EQ(adjust::pixel_store, picture);
    EXPECT_EQ(f.Picture1->geometry(), box);
    EXPECT_EQ(f.Picture1->image.size(), QSize(256, 240));

    // Saved over a bigger file of the same name, which goes entirely.
    {
        QFile big(saved("after.bmp"));
        ASSERT_TRUE(big.open(QIODevice::WriteOnly));
        big.write(QByteArray(1000000, 'x'));
    }
    doubles.dialogs.answers.push_back(saved("after.bmp"));
    click(f.Command4);
    QFile file(saved("after.bmp"));
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const QByteArray b = file.readAll();
    ASSERT_EQ(b.size(), static_cast<qsizetype>(54 + picture.size()));
    EXPECT_EQ(le32(b, 2), 54 + picture.size());
    EXPECT_EQ(le32(b, 18), 256u);
    EXPECT_EQ(static_cast<std::int32_t>(le32(b, 22)), -240);
    EXPECT_EQ(b.mid(54), QByteArray(reinterpret_cast<const char*>(picture.data()),
                                    static_cast<qsizetype>(picture.size())));
}

TEST_F(adjust_form5, sends_nothing_while_a_download_runs)
{
    // Opened during a download: the check waits for its end.
    adjust::set_download_running(true);
    adjust::Form5& f = open();
    EXPECT_TRUE(unit.log.empty());
    EXPECT_EQ(enabled(f), "00001");
    adjust::set_download_running(false);
    QCoreApplication::processEvents();
    EXPECT_EQ(commands(), (std::vector<sim::frame>{bytes({0x14, 0x5A, 0x5A, 0x5A, 0x5A, 0x5A, 0x5A, 0x5A})}));
    EXPECT_EQ(f.Text1->toPlainText(), ready_text);
    EXPECT_EQ(enabled(f), "11101");

    // A download that starts later disables the sending buttons for its duration.
    adjust::set_download_running(true);
    EXPECT_EQ(enabled(f), "00101");
    adjust::set_download_running(false);
    EXPECT_EQ(enabled(f), "11101");
    EXPECT_EQ(commands().size(), 1u);
}

TEST_F(adjust_form5, one_modeless_instance_that_closing_unloads)
{
    adjust::show_form5();
    QPointer<adjust::Form5> first = adjust::form5();
    ASSERT_FALSE(first.isNull());
    EXPECT_FALSE(first->isModal());
    click(first->Command1);  // freeze
    adjust::show_form5();
    EXPECT_EQ(adjust::form5(), first.data());
    EXPECT_EQ(commands().size(), 2u);  // one load, one freeze

    click(first->Command5);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(first.isNull());
    EXPECT_TRUE(unit.picture.frozen);  // closing leaves the unit as it is
    EXPECT_EQ(commands().size(), 2u);

    adjust::show_form5();
    ASSERT_NE(adjust::form5(), nullptr);
    EXPECT_EQ(adjust::form5()->Command1->text(), live);
    EXPECT_EQ(adjust::freeze_state, 0);
    EXPECT_EQ(commands().size(), 3u);
    EXPECT_EQ(commands().back()[0], 0x14);
}

// The same read-out over a real socket, with a picture from a file.
TEST(adjust_form5_socket, read_out_of_a_file_picture)
{
    QTemporaryDir dir;
    QImage source(300, 200, QImage::Format_RGB888);
    for (int y = 0; y < source.height(); ++y) {
        for (int x = 0; x < source.width(); ++x) {
            source.setPixel(x, y, qRgb(x & 0xFF, y, (x * 7 + y * 3) & 0xFF));
        }
    }
    const QString png = dir.filePath("source.png");
    ASSERT_TRUE(source.save(png));

    testing_support::socket_units sockets;
    sim::unit& u = sockets.serve("unit");
    QString error;
    {
        std::lock_guard lock(sockets.guard);
        ASSERT_TRUE(sim::load_picture_file(u.picture, png, error)) << error.toStdString();
    }
    devicelink::linux_platform platform;
    devicelink::reset_for_tests();
    devicelink::set_platform(&platform);
    adjust::connected = 1;
    adjust::pixel_store.clear();
    {
        adjust::Form5 f;
        ASSERT_EQ(enabled(f), "11101");
        click(f.Command2);
        EXPECT_EQ(f.Text1->toPlainText(), status_text(300, 200));
    }
    devicelink::close_handles();
    devicelink::set_platform(nullptr);
    devicelink::reset_for_tests();
    sockets.stop();

    EXPECT_EQ(adjust::store_width, 300);
    EXPECT_EQ(adjust::store_height, 200);
    expect_store_holds(u.picture, 200);
    EXPECT_EQ(u.picture.freeze_log, (std::vector<std::uint8_t>{1, 0}));
}

}  // namespace
