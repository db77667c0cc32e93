#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QDir>
#include <QFrame>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTest>
#include <QTimer>

#include <numeric>
#include <optional>

#include "devicelink/link.h"
#include "devicelink/tick_clock.h"
#include "flash_fixture.h"
#include "sim/flash.h"
#include "devicelink/linux_platform.h"
#include "support/doubles.h"
#include "support/socket_unit.h"
#include "update/form1.h"
#include "update/form2.h"

namespace {

using flash_testing::pattern;
using testing_support::bytes;

const QString ok_text = QStringLiteral("アップデート　正常終了");
const QString error_text = QStringLiteral("書き込みエラーが発生しました。");

class vsupdate : public flash_testing::flash_test {
protected:
    void TearDown() override
    {
        delete update::form2();
        flash_test::TearDown();
    }
    // Chooses the package in the dialog and presses "アップデート".
    void run(update::Form1& form, const QString& package)
    {
        doubles.dialogs.answers.push_back(package);
        QTest::mouseClick(form.Command21, Qt::LeftButton);
    }
    QString package(const QByteArray& text) { return write_file("update.z3b", text); }
    // Start addresses of the regions written, in order.
    std::vector<std::uint32_t> written_regions() const
    {
        std::vector<std::uint32_t> out;
        for (const sim::frame& f : commands()) {
            if (f[0] == 0x01) {
                out.push_back(f[2] | (f[3] << 8) | (f[4] << 16));
            }
        }
        return out;
    }
    QByteArray hex_image(std::span<const std::uint8_t> image, int end)
    {
        return flash_testing::extended_address() + flash_testing::data_records(image, 0, end, 16) +
               flash_testing::end_record;
    }

    testing_support::desktop_doubles doubles;
};

TEST_F(vsupdate, recognises_the_unit_and_lays_out_the_window)
{
    devicelink::command_frame.fill(0x77);
    update::Form1 form;
    EXPECT_EQ(form.Text1->text(), QStringLiteral("ZOVA-3を認識しました。"));
    EXPECT_EQ(form.Text2->text(), QStringLiteral("正常接続されています。"));
    EXPECT_TRUE(form.Command21->isEnabled());
    EXPECT_EQ(commands(), (std::vector<sim::frame>{bytes({0x02, 0, 0, 0, 0, 0, 0, 0})}));

    EXPECT_EQ(form.windowTitle(), QStringLiteral("ZOVA-3 アップデート　ツール　Ver1.21"));
    EXPECT_EQ(form.size(), QSize(561, 216));
    EXPECT_EQ(form.Text1->geometry(), QRect(8, 16, 545, 25));
    EXPECT_EQ(form.Text2->geometry(), QRect(8, 64, 545, 25));
    EXPECT_EQ(form.Picture1->geometry(), QRect(8, 112, 333, 33));
    EXPECT_EQ(form.Shape1->parentWidget(), form.Picture1);
    EXPECT_EQ(form.Command21->text(), QStringLiteral("アップデート"));
    EXPECT_EQ(form.Command21->geometry(), QRect(112, 168, 193, 25));
    EXPECT_EQ(form.Command1->text(), QStringLiteral("終了"));
    EXPECT_EQ(form.Command1->geometry(), QRect(456, 168, 73, 25));
    EXPECT_TRUE(form.Timer1->isActive());
}

TEST_F(vsupdate, an_absent_or_silent_unit_leaves_only_the_end_button)
{
    unit.opt.silent = true;
    update::Form1 form;
    EXPECT_EQ(form.Text1->text(), QStringLiteral("ZOVA-3を認識できません。"));
    EXPECT_EQ(form.Text2->text(), QStringLiteral("ZOVA-3の電源を入れて本ソフトを再起動してください。"));
    EXPECT_FALSE(form.Command21->isEnabled());
    EXPECT_TRUE(form.Command1->isEnabled());
    QTest::mouseClick(form.Command1, Qt::LeftButton);
    EXPECT_EQ(doubles.ending.calls, 1);
}

TEST_F(vsupdate, a_package_writes_every_image_and_opens_the_write_dialog)
{
    const auto app = pattern(40003, 1);
    const auto prog = pattern(32768, 2);
    const auto boot = pattern(4096, 3);
    write_file("app.bin", app);
    write_file("prog.hex", hex_image(prog, 32752));
    QDir(dir.path()).mkdir("sub");
    write_file("sub/boot.hex", flash_testing::extended_address() + flash_testing::data_records(boot, 0, 448, 14) +
                                   flash_testing::data_records(boot, 448, 4080, 16) + flash_testing::end_record);
    const QString path = package("download,app.bin,&HE8000\r\n"
                                 "\"download_hex_prog_write\", \"prog.hex\" ,&HF8000\r\n"
                                 "download_hex_short,sub\\boot.hex,0\r\n");

    update::Form1 form;
    form.show();
    // While the last image is written, the dialog is open and must not send.
    bool mcu_button_during_update = true;
    bool update_button_after_cancel = true;
    QObject::connect(form.Text1, &QLineEdit::textChanged, form.Text1, [&](const QString& t) {
        if (t.endsWith("boot.hex  Download")) {
            ASSERT_NE(update::form2(), nullptr);
            mcu_button_during_update = update::form2()->Command1->isEnabled();
            QTest::mouseClick(update::form2()->Command2, Qt::LeftButton);
            update_button_after_cancel = form.Command21->isEnabled();
        }
    });
    run(form, path);

    EXPECT_EQ(form.Text1->text(), ok_text);
    EXPECT_TRUE(form.Text2->text().startsWith("Check sum="));
    EXPECT_EQ(written_regions(), (std::vector<std::uint32_t>{0xE8000, 0xF8000, 0x1F1000}));
    auto app_written = app;
    app_written.resize(40008, 0x00);
    EXPECT_EQ(sim::flash_bytes(unit, 0xE8000, 40008), app_written);
    // Records at 0x7D80 and above are not taken.
    auto prog_written = std::vector<std::uint8_t>(prog.begin(), prog.begin() + 0x7D80);
    prog_written.resize(32760, 0);
    EXPECT_EQ(sim::flash_bytes(unit, 0xF8000, 32760), prog_written);
    auto boot_written = std::vector<std::uint8_t>(boot.begin(), boot.begin() + 4080);
    boot_written.resize(4088, 0);
    EXPECT_EQ(sim::flash_bytes(unit, 0x1F1000, 4088), boot_written);

    EXPECT_FALSE(mcu_button_during_update);
    EXPECT_FALSE(update_button_after_cancel);
    EXPECT_TRUE(form.Command21->isEnabled());
    EXPECT_TRUE(form.Command1->isEnabled());

    ASSERT_EQ(doubles.dialogs.requests.size(), 1u);
    const desktop::file_request& r = doubles.dialogs.requests[0];
    EXPECT_EQ(r.title, QStringLiteral("ファイルを開く"));
    EXPECT_EQ(r.start_folder, QCoreApplication::applicationDirPath());
    EXPECT_EQ(r.initial_name, "*.z3b");
    EXPECT_EQ(r.filter, "*.z3b");
    EXPECT_EQ(update::package_path, path);
}

TEST_F(vsupdate, the_example_package_runs_and_the_dialog_starts_the_microcontroller_write)
{
    const QString examples = QStringLiteral(ZOVA_SOURCE_DIR "/examples");
    update::Form1 form;
    form.show();
    run(form, examples + "/example.z3b");
    EXPECT_EQ(form.Text1->text(), ok_text);
    EXPECT_EQ(written_regions(), (std::vector<std::uint32_t>{0xE8000, 0xF8000, 0xF8000, 0x1F1000, 0xF8000}));
    QFile bin(examples + "/app.bin");
    ASSERT_TRUE(bin.open(QIODevice::ReadOnly));
    const QByteArray app = bin.readAll();
    EXPECT_EQ(sim::flash_bytes(unit, 0xE8000, app.size()), std::vector<std::uint8_t>(app.begin(), app.end()));

    update::Form2* dialog = update::form2();
    ASSERT_NE(dialog, nullptr);
    EXPECT_TRUE(dialog->isVisible());
    EXPECT_EQ(dialog->windowTitle(), QStringLiteral("ZOVA-3 CPU書き込み"));
    EXPECT_EQ(dialog->Text1->toPlainText(), QStringLiteral("マイコン書き込みボタンを押してください。\n"
                                                           "マイコン書き込み中はZOVA-3の電源を切らないでください\n"
                                                           "。\n"));
    EXPECT_EQ(dialog->Command1->geometry(), QRect(8, 64, 113, 33));
    EXPECT_EQ(dialog->Command3->geometry(), QRect(144, 64, 113, 33));
    EXPECT_EQ(dialog->Command2->geometry(), QRect(288, 64, 113, 33));
    EXPECT_TRUE(dialog->Command1->isEnabled());

    const std::size_t before = unit.log.size();
    QTest::mouseClick(dialog->Command1, Qt::LeftButton);
    ASSERT_EQ(unit.log.size(), before + 1);
    EXPECT_EQ(unit.log.back().bytes, bytes({0x0B, 0x00, 0x00, 0x80, 0x0F, 0xF8, 0x7F, 0x00}));
    EXPECT_EQ(unit.flash.mcu_writes.size(), 1u);
    EXPECT_EQ(dialog->Text1->toPlainText(), QStringLiteral("ZOVA-3のLEDが点滅終了するまでお待ちください。\n"
                                                           "点滅終了後、本ソフトを終了してください。"));
    EXPECT_FALSE(dialog->Command1->isEnabled());
    EXPECT_FALSE(dialog->Command2->isEnabled());
    EXPECT_TRUE(dialog->Command3->isEnabled());
    QTest::mouseClick(dialog->Command3, Qt::LeftButton);
    EXPECT_EQ(doubles.ending.calls, 1);
}

TEST_F(vsupdate, the_first_failing_entry_stops_the_package)
{
    write_file("a.bin", pattern(64, 1));
    write_file("b.bin", pattern(64, 2));
    write_file("c.bin", pattern(64, 3));
    struct failure_case {
        const char* name;
        QByteArray second_entry;
        std::vector<std::uint32_t> regions;  // written before the package stopped
        std::optional<std::uint32_t> corrupt;
    };
    const std::vector<failure_case> cases{
        {"mismatch", "download,b.bin,&H200000", {0x100000, 0x200000}, 0x200010},
        {"missing file", "download,nothing.bin,&H200000", {0x100000}, {}},
        {"negative address", "download,b.bin,-8", {0x100000}, {}},
        {"address past 24 bits", "download,b.bin,&H1000000", {0x100000}, {}},
        {"missing HEX file", "download_hex,nothing.hex,0", {0x100000}, {}},
    };
    update::Form1 form;
    form.show();
    for (const failure_case& c : cases) {
        SCOPED_TRACE(c.name);
        unit.log.clear();
        unit.flash.corrupt_address = c.corrupt;
        run(form, package("download,a.bin,&H100000\r\n" + c.second_entry + "\r\ndownload,c.bin,&H300000\r\n"));
        EXPECT_EQ(form.Text1->text(), error_text);
        EXPECT_EQ(written_regions(), c.regions);
        EXPECT_EQ(form.Text2->text().startsWith("Write error"), c.corrupt.has_value());
        EXPECT_TRUE(form.Command21->isEnabled());
        EXPECT_TRUE(form.Command1->isEnabled());
    }
}

TEST_F(vsupdate, kinds_fields_and_entries)
{
    write_file("a.bin", pattern(16, 1));
    struct package_case {
        QByteArray text;
        std::vector<std::uint32_t> regions;
    };
    const std::vector<package_case> cases{
        {"", {}},
        {"\r\n\r\n", {}},
        {"Download,a.bin,&HE8000", {}},
        {"upload,a.bin,&HE8000\r\ndownload,a.bin,1015808", {0xF8000}},
        // Seven fields: two entries, the seventh field read and ignored.
        {"download,a.bin,&H8000,download,a.bin,&H10000,download", {0x8000, 0x10000}},
        {"download,a.bin\r\n", {}},
    };
    update::Form1 form;
    form.show();
    for (const package_case& c : cases) {
        unit.log.clear();
        run(form, package(c.text));
        EXPECT_EQ(form.Text1->text(), ok_text) << c.text.toStdString();
        EXPECT_EQ(written_regions(), c.regions) << c.text.toStdString();
    }
    EXPECT_EQ(update::form2(), nullptr);
}

TEST(vsupdate_package, address_fields_read_as_numbers)
{
    const std::vector<std::pair<QString, std::int64_t>> cases{
        {"&HE8000", 950272}, {"&H8000", 32768},     {"&hf8000", 0xF8000}, {"  &H1F1000xyz", 0x1F1000},
        {"1015808", 1015808}, {" -8", -8},          {"+12", 12},          {"12.5", 12},
        {"13.5", 14},         {"7abc", 7},          {"abc", 0},           {"", 0},
        {"&H", 0},            {"&H1000000", 0x1000000},
    };
    for (const auto& [field, value] : cases) {
        EXPECT_EQ(update::parse_address(field), value) << field.toStdString();
    }
}

TEST(vsupdate_package, fields_split_at_commas_and_line_ends)
{
    EXPECT_EQ(update::package_fields("a, b ,\"c,d\"\r\n\r\n  e,,f\r\n"),
              (QStringList{"a", "b", "c,d", "e", "", "f"}));
    EXPECT_EQ(update::package_fields("x,\r\ny"), (QStringList{"x", "y"}));
    EXPECT_TRUE(update::package_fields("  \r\n").isEmpty());
}

TEST_F(vsupdate, cancel_and_unreadable_packages_write_nothing)
{
    update::Form1 form;
    form.show();
    unit.log.clear();
    run(form, "");
    EXPECT_EQ(form.Text2->text(), QStringLiteral("正常接続されています。"));
    run(form, dir.filePath("missing.z3b"));
    EXPECT_EQ(form.Text1->text(), QStringLiteral("ファイル オープン　エラー"));
    EXPECT_EQ(form.Text2->text(), QStringLiteral("ZOVA-3の電源を切らないでください。"));
    EXPECT_TRUE(unit.log.empty());
    EXPECT_TRUE(form.Command21->isEnabled());
    EXPECT_TRUE(form.Command1->isEnabled());
}

TEST_F(vsupdate, the_dialog_comes_back_as_it_was_left)
{
    const auto prog = pattern(32768, 4);
    write_file("prog.hex", hex_image(prog, 64));
    const QString path = package("download_hex_prog_write,prog.hex,0");
    update::Form1 form;
    form.show();
    run(form, path);
    update::Form2* dialog = update::form2();
    ASSERT_NE(dialog, nullptr);
    EXPECT_TRUE(form.Command21->isEnabled());  // the end of the update enabled it again
    dialog->Text1->setPlainText("left like this");
    QTest::mouseClick(dialog->Command2, Qt::LeftButton);
    EXPECT_FALSE(dialog->isVisible());
    EXPECT_TRUE(form.Command21->isEnabled());

    run(form, path);
    ASSERT_EQ(update::form2(), dialog);
    EXPECT_TRUE(dialog->isVisible());
    EXPECT_EQ(dialog->Text1->toPlainText(), "left like this");
    EXPECT_TRUE(form.Command21->isEnabled());  // the end of the update enabled it

    // Closed with its close box, it loads afresh next time.
    dialog->close();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_EQ(update::form2(), nullptr);
    update::show_form2();
    ASSERT_NE(update::form2(), nullptr);
    EXPECT_TRUE(update::form2()->Text1->toPlainText().startsWith(QStringLiteral("マイコン書き込みボタン")));
    EXPECT_FALSE(form.Command21->isEnabled());  // its load disables the update
}

TEST_F(vsupdate, an_unplugged_unit_ends_the_update_with_an_error)
{
    flash::set_status_poll_limit_for_tests(std::chrono::milliseconds(50));
    write_file("a.bin", pattern(8, 1));
    update::Form1 form;
    form.show();
    // Presence query, erase, write_start, one data frame, checksum request.
    unit.opt.stop_after_frames = 5;
    run(form, package("download,a.bin,&HE8000\r\ndownload,a.bin,&HE8000"));
    EXPECT_EQ(form.Text1->text(), error_text);
    const auto content = pattern(8, 1);
    const unsigned sum = std::accumulate(content.begin(), content.end(), 0u);
    EXPECT_EQ(form.Text2->text(), QString("Write error  rom=0 file=%1").arg(QString::number(sum, 16).toUpper()));
    EXPECT_EQ(written_regions().size(), 1u);
}

// The same package over a real socket, with the unit in a thread of its own.
TEST(vsupdate_over_socket, the_example_package_writes_the_unit_flash)
{
    devicelink::reset_for_tests();
    testing_support::socket_units sockets;
    sim::unit& u = sockets.serve("unit");
    devicelink::linux_platform platform;
    devicelink::set_platform(&platform);
    testing_support::desktop_doubles doubles;
    {
        update::Form1 form;
        ASSERT_TRUE(form.Command21->isEnabled());
        doubles.dialogs.answers.push_back(QStringLiteral(ZOVA_SOURCE_DIR "/examples/example.z3b"));
        QTest::mouseClick(form.Command21, Qt::LeftButton);
        EXPECT_EQ(form.Text1->text(), ok_text);
        ASSERT_NE(update::form2(), nullptr);
        QTest::mouseClick(update::form2()->Command1, Qt::LeftButton);
        delete update::form2();
    }
    devicelink::close_handles();
    devicelink::set_platform(nullptr);
    devicelink::reset_for_tests();
    sockets.stop();

    QFile bin(QStringLiteral(ZOVA_SOURCE_DIR "/examples/app.bin"));
    ASSERT_TRUE(bin.open(QIODevice::ReadOnly));
    const QByteArray app = bin.readAll();
    EXPECT_EQ(sim::flash_bytes(u, 0xE8000, app.size()), std::vector<std::uint8_t>(app.begin(), app.end()));
    ASSERT_EQ(u.flash.mcu_writes.size(), 1u);
    EXPECT_EQ(u.flash.mcu_writes[0], (std::array<std::uint8_t, 8>{0x0B, 0x00, 0x00, 0x80, 0x0F, 0xF8, 0x7F, 0x00}));
}

}  // namespace
