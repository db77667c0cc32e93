#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QTemporaryDir>
#include <QTimer>
#include <QtTest/QTest>

#include <algorithm>

#include "adjust/busy.h"
#include "adjust/form6.h"
#include "adjust/windows.h"
#include "devicelink/link.h"
#include "sim/timing.h"
#include "support/doubles.h"
#include "support/virtual_unit.h"

namespace {

using adjust::timing_parameters;
using adjust::timing_table;
using testing_support::bytes;

std::size_t index_of(const char* name)
{
    const auto it = std::find_if(timing_parameters.begin(), timing_parameters.end(),
                                 [&](const adjust::timing_parameter& p) { return std::string(p.name) == name; });
    return static_cast<std::size_t>(it - timing_parameters.begin());
}

unsigned unit_value(const sim::unit& u, const adjust::timing_parameter& p)
{
    return p.bits == 12 ? sim::timing_value12(u.timing, p.low_entry) : sim::timing_byte(u.timing, p.low_entry);
}

sim::frame block_frame(int code, std::uint16_t address, int k)
{
    return bytes({code, 0, address & 0xFF, address >> 8, timing_table[k], timing_table[k + 1], timing_table[k + 2],
                  timing_table[k + 3]});
}

class adjust_form6 : public testing_support::virtual_unit_test {
protected:
    void SetUp() override
    {
        virtual_unit_test::SetUp();
        timing_table.fill(0);
        adjust::timing_base = {0, 0};
        ASSERT_TRUE(folder.isValid());
    }
    void TearDown() override
    {
        close_form();
        virtual_unit_test::TearDown();
    }

    // Opens the window as the main window's button does; the log starts empty.
    adjust::Form6& open()
    {
        adjust::show_form6();
        EXPECT_NE(adjust::form6(), nullptr);
        return *adjust::form6();
    }
    void close_form()
    {
        if (adjust::Form6* f = adjust::form6()) {
            f->close();
            delete f;
        }
    }
    std::uint16_t base() const { return unit.timing.base; }
    // The unit's timing area, entries 0 to n - 1.
    std::vector<std::uint8_t> unit_area(std::size_t n) const
    {
        std::vector<std::uint8_t> out;
        for (std::size_t k = 0; k < n; ++k) {
            out.push_back(sim::timing_byte(unit.timing, k));
        }
        return out;
    }
    QString file(const char* name) const { return folder.filePath(QString::fromUtf8(name)); }
    void write_file(const QString& path, const QByteArray& content) const
    {
        QFile f(path);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(content);
    }

    QTemporaryDir folder;
    testing_support::desktop_doubles doubles{folder.path()};
};

TEST_F(adjust_form6, opening_enters_reads_eighty_entries_and_shows_them_without_writing)
{
    // A base at the top of its page: the reads carry into the high byte.
    for (const std::uint16_t b : {std::uint16_t{0x0140}, std::uint16_t{0x02F0}}) {
        sim::place_timing_area(unit.timing, b);
        sim::set_timing_value12(unit.timing, 10, 0);  // h2size: stays at its start value
        unit.log.clear();
        adjust::Form6& form = open();

        std::vector<sim::frame> expected{bytes({0x0F, 0x01})};
        for (int i = 0; i < 80; i += 8) {
            const int a = b + i;
            expected.push_back(bytes({0x10, 0x00, a & 0xFF, a >> 8}));
        }
        const auto got = commands();
        ASSERT_EQ(got.size(), expected.size());
        for (std::size_t n = 0; n < got.size(); ++n) {
            const std::size_t checked = n == 0 ? 2 : 4;  // the rest are kept bytes
            EXPECT_TRUE(std::equal(expected[n].begin(), expected[n].begin() + checked, got[n].begin())) << n;
        }
        EXPECT_EQ(adjust::timing_base, (std::array<std::uint8_t, 2>{static_cast<std::uint8_t>(b & 0xFF),
                                                                     static_cast<std::uint8_t>(b >> 8)}));
        EXPECT_EQ(std::vector<std::uint8_t>(timing_table.begin(), timing_table.begin() + 80), unit_area(80));
        EXPECT_TRUE(std::all_of(timing_table.begin() + 80, timing_table.end(), [](std::uint8_t v) { return v == 0; }));
        for (std::size_t i = 0; i < timing_parameters.size(); ++i) {
            const unsigned v = unit_value(unit, timing_parameters[i]);
            EXPECT_EQ(form.bars[i]->value(), static_cast<int>(v)) << timing_parameters[i].name;
            EXPECT_EQ(form.texts[i]->text(), v == 0 ? QStringLiteral("000") : QString::number(v));
        }
        EXPECT_EQ(form.h2size_txt->text(), QStringLiteral("000"));
        EXPECT_TRUE(unit.timing.in_timing_mode);
        EXPECT_TRUE(unit.timing.writes.empty());

        form.close();
        EXPECT_EQ(commands().back()[0], 0x0F);
        EXPECT_EQ(commands().back()[1], 0x00);
        EXPECT_FALSE(unit.timing.in_timing_mode);
        delete adjust::form6();
    }
}

TEST_F(adjust_form6, a_change_crossing_255_travels_in_one_block_then_is_applied)
{
    sim::set_timing_value12(unit.timing, 2, 255);
    adjust::Form6& form = open();
    unit.log.clear();
    form.h2pos->setValue(256);

    EXPECT_EQ(form.h2pos_txt->text(), QStringLiteral("256"));
    EXPECT_EQ(timing_table[2], 0x00);
    EXPECT_EQ(timing_table[4], 0x01);
    const std::uint16_t a = base() + 2;
    const sim::frame write = bytes({0x11, 0x00, a & 0xFF, a >> 8, 0x00, timing_table[3], 0x01, timing_table[5]});
    sim::frame apply = write;
    apply[0] = 0x12;
    EXPECT_EQ(commands(), (std::vector<sim::frame>{write, apply}));
    EXPECT_EQ(sim::timing_value12(unit.timing, 2), 256u);
    ASSERT_EQ(unit.timing.applies.size(), 1u);
    EXPECT_EQ(unit.timing.active, unit.timing.area);
}

TEST_F(adjust_form6, each_parameter_writes_its_own_block_and_clamp_start_carries_clamp_width)
{
    adjust::Form6& form = open();
    for (std::size_t i = 0; i < timing_parameters.size(); ++i) {
        const adjust::timing_parameter& p = timing_parameters[i];
        unit.log.clear();
        const int value = p.bits == 12 ? 0xABC : 0x5D;
        form.bars[i]->setValue(value);
        const std::uint16_t a = base() + p.low_entry;
        sim::frame apply = block_frame(0x12, a, p.low_entry);
        EXPECT_EQ(commands(), (std::vector<sim::frame>{block_frame(0x11, a, p.low_entry), apply})) << p.name;
        EXPECT_EQ(unit_value(unit, p), static_cast<unsigned>(value)) << p.name;
    }
    // clamp_start's block is entries 18 to 21: clamp_width rides along in byte 6.
    unit.log.clear();
    form.clamp_start->setValue(7);
    ASSERT_EQ(commands().size(), 2u);
    EXPECT_EQ(commands()[0][2], (base() + 18) & 0xFF);
    EXPECT_EQ(commands()[0][4], 7);
    EXPECT_EQ(commands()[0][6], 0x5D);
    EXPECT_EQ(unit_area(80), std::vector<std::uint8_t>(timing_table.begin(), timing_table.begin() + 80));
}

TEST_F(adjust_form6, a_value_already_in_the_table_is_shown_but_not_sent)
{
    adjust::Form6& form = open();
    unit.log.clear();
    form.h2pos_txt->setText(QStringLiteral("typed"));
    timing_table[2] = 77;
    timing_table[4] = 0;
    form.h2pos->setValue(77);
    EXPECT_EQ(form.h2pos_txt->text(), QStringLiteral("77"));
    EXPECT_TRUE(commands().empty());
}

TEST_F(adjust_form6, a_drag_sends_one_pair_when_the_thumb_is_released)
{
    adjust::Form6& form = open();
    unit.log.clear();
    form.v2pos->setSliderDown(true);
    for (int v = 100; v <= 140; v += 10) {
        form.v2pos->setSliderPosition(v);
    }
    EXPECT_TRUE(commands().empty());
    form.v2pos->setSliderDown(false);
    ASSERT_EQ(commands().size(), 2u);
    EXPECT_EQ(sim::timing_value12(unit.timing, 6), 140u);
    // An arrow click is a change of its own.
    form.v2pos->triggerAction(QAbstractSlider::SliderSingleStepAdd);
    EXPECT_EQ(commands().size(), 4u);
    EXPECT_EQ(sim::timing_value12(unit.timing, 6), 141u);
}

TEST_F(adjust_form6, a_unit_value_above_4095_is_kept_and_never_written_back)
{
    sim::timing_byte(unit.timing, 4) = 0x10;  // h2pos = 4096 + 144
    adjust::Form6& form = open();
    EXPECT_EQ(commands().size(), 11u);
    EXPECT_EQ(timing_table[4], 0x10);
    EXPECT_EQ(form.h2pos_txt->text(), QStringLiteral("4240"));
    EXPECT_EQ(form.v2pos->value(), 35);  // the parameters after it are still shown
    form.h2pos->setValue(4000);  // what the user chooses is written
    EXPECT_EQ(sim::timing_value12(unit.timing, 2), 4000u);
}

TEST_F(adjust_form6, one_window_and_reopening_keeps_the_entries_a_file_brought)
{
    adjust::show_form6();
    adjust::Form6* first = adjust::form6();
    adjust::show_form6();
    EXPECT_EQ(adjust::form6(), first);
    EXPECT_EQ(unit.timing.mode_enters, 1u);
    EXPECT_EQ(commands().size(), 11u);

    timing_table[100] = 0x33;
    timing_table[256] = 0;
    first->close();
    delete adjust::form6();
    EXPECT_EQ(adjust::form6(), nullptr);
    EXPECT_EQ(unit.timing.mode_leaves, 1u);
    sim::set_timing_value12(unit.timing, 2, 999);
    adjust::Form6& again = open();
    EXPECT_EQ(again.h2pos->value(), 999);
    EXPECT_EQ(timing_table[100], 0x33);
    EXPECT_EQ(unit.timing.mode_enters, 2u);
}

TEST_F(adjust_form6, save_then_load_restores_table_unit_and_controls)
{
    adjust::Form6& form = open();
    form.h2pos->setValue(1000);
    form.hsw->setValue(200);
    timing_table[150] = 0x5A;  // beyond the area, as a loaded file leaves it
    const auto saved = timing_table;

    const QString path = file("zova3_syc_a.bin");
    doubles.dialogs.answers = {path, path};
    QTest::mouseClick(form.Command1, Qt::LeftButton);
    ASSERT_EQ(doubles.dialogs.requests.size(), 1u);
    const desktop::file_request& save = doubles.dialogs.requests[0];
    EXPECT_TRUE(doubles.dialogs.was_save[0]);
    EXPECT_EQ(save.title, QStringLiteral("ZOVA-3 入出力映像タイミングDataを保存"));
    EXPECT_EQ(save.start_folder, folder.path());
    EXPECT_EQ(save.initial_name, QStringLiteral("zova3_syc*.bin"));
    EXPECT_TRUE(save.filter.isEmpty());
    QFile written(path);
    ASSERT_TRUE(written.open(QIODevice::ReadOnly));
    const QByteArray content = written.readAll();
    ASSERT_EQ(content.size(), 257);
    EXPECT_TRUE(std::equal(saved.begin(), saved.end(), reinterpret_cast<const std::uint8_t*>(content.data())));
    EXPECT_EQ(static_cast<std::uint8_t>(content[256]), 0);

    // Unit and window move away from the saved set, then the file brings it back.
    form.h2pos->setValue(5);
    form.vsw->setValue(9);
    sim::timing_byte(unit.timing, 77) = 0xEE;  // not sent by a load
    timing_table[150] = 0;
    timing_table[256] = 0x42;
    unit.log.clear();
    QTest::mouseClick(form.Command2, Qt::LeftButton);

    const desktop::file_request& load = doubles.dialogs.requests[1];
    EXPECT_FALSE(doubles.dialogs.was_save[1]);
    EXPECT_EQ(load.title, QStringLiteral("ZOVA-3 入出力映像タイミングDataを読込"));
    EXPECT_EQ(load.start_folder, folder.path());
    EXPECT_EQ(load.initial_name, path);  // what the dialog last held

    EXPECT_TRUE(std::equal(saved.begin(), saved.begin() + 256, timing_table.begin()));
    EXPECT_EQ(timing_table[256], 0x42);
    std::vector<sim::frame> expected;
    for (int k = 0; k <= 72; k += 4) {
        expected.push_back(block_frame(0x11, base() + k, k));
    }
    expected.push_back(block_frame(0x12, base() + 72, 72));
    EXPECT_EQ(commands(), expected);
    auto area = unit_area(80);
    EXPECT_TRUE(std::equal(saved.begin(), saved.begin() + 76, area.begin()));
    EXPECT_EQ(area[77], 0xEE);
    EXPECT_EQ(unit.timing.active, unit.timing.area);
    EXPECT_EQ(form.h2pos->value(), 1000);
    EXPECT_EQ(form.h2pos_txt->text(), QStringLiteral("1000"));
    EXPECT_EQ(form.hsw->value(), 200);
    EXPECT_EQ(form.vsw->value(), saved[50]);
}

TEST_F(adjust_form6, a_short_file_or_one_above_4095_changes_nothing)
{
    adjust::Form6& form = open();
    struct file_case {
        const char* name;
        QByteArray content;
    };
    QByteArray too_big(257, 0x01);
    too_big[58 + 2] = 0x10;  // ph1size = 4096 + 1
    QByteArray bad_last(257, 0x01);
    bad_last[66 + 2] = 0x80;  // pv1size, the last refreshed
    for (const file_case& c : {file_case{"short", QByteArray(100, 0x07)}, file_case{"255", QByteArray(255, 0x07)},
                               file_case{"too big", too_big}, file_case{"bad last", bad_last}}) {
        const QString path = file(c.name);
        write_file(path, c.content);
        const auto table_before = timing_table;
        const auto area_before = unit.timing.area;
        std::vector<int> bars_before;
        std::vector<QString> texts_before;
        for (std::size_t i = 0; i < timing_parameters.size(); ++i) {
            bars_before.push_back(form.bars[i]->value());
            texts_before.push_back(form.texts[i]->text());
        }
        unit.log.clear();
        doubles.dialogs.answers = {path};
        QTest::mouseClick(form.Command2, Qt::LeftButton);
        EXPECT_EQ(timing_table, table_before) << c.name;
        EXPECT_TRUE(commands().empty()) << c.name;
        EXPECT_EQ(unit.timing.area, area_before) << c.name;
        for (std::size_t i = 0; i < timing_parameters.size(); ++i) {
            EXPECT_EQ(form.bars[i]->value(), bars_before[i]) << c.name;
            EXPECT_EQ(form.texts[i]->text(), texts_before[i]) << c.name;
        }
    }
}

TEST_F(adjust_form6, a_long_file_loads_256_bytes_and_cancelled_dialogs_keep_the_disk_and_table)
{
    adjust::Form6& form = open();
    QByteArray long_file(300, 0x03);
    long_file[256] = 0x77;
    write_file(file("long.bin"), long_file);
    timing_table[256] = 0x11;
    doubles.dialogs.answers = {file("long.bin")};
    QTest::mouseClick(form.Command2, Qt::LeftButton);
    EXPECT_TRUE(std::all_of(timing_table.begin(), timing_table.begin() + 256, [](std::uint8_t v) { return v == 3; }));
    EXPECT_EQ(timing_table[256], 0x11);
    EXPECT_EQ(form.h2pos->value(), 0x303);

    // A cancelled save writes nothing; a cancelled load sends the table as it is.
    const auto table_before = timing_table;
    unit.log.clear();
    doubles.dialogs.answers = {QString(), QString()};
    QTest::mouseClick(form.Command1, Qt::LeftButton);
    EXPECT_EQ(QDir(folder.path()).entryList(QDir::Files), QStringList{"long.bin"});
    QTest::mouseClick(form.Command2, Qt::LeftButton);
    EXPECT_EQ(timing_table, table_before);
    EXPECT_EQ(commands().size(), 20u);
    EXPECT_EQ(commands().back()[0], 0x12);
}

TEST_F(adjust_form6, no_documents_folder_means_no_dialog_and_no_frame)
{
    adjust::Form6& form = open();
    doubles.documents.folder.clear();
    unit.log.clear();
    QTest::mouseClick(form.Command1, Qt::LeftButton);
    QTest::mouseClick(form.Command2, Qt::LeftButton);
    EXPECT_TRUE(doubles.dialogs.requests.empty());
    EXPECT_TRUE(commands().empty());
}

TEST_F(adjust_form6, closing_during_a_load_stops_it_after_the_leave_frame)
{
    adjust::Form6& form = open();
    write_file(file("set.bin"), QByteArray(257, 0x02));
    doubles.dialogs.answers = {file("set.bin")};
    unit.log.clear();
    QTimer::singleShot(0, &form, [&form] { form.close(); });
    QTest::mouseClick(form.Command2, Qt::LeftButton);
    const auto got = commands();
    ASSERT_EQ(got.size(), 2u);
    EXPECT_EQ(got[0][0], 0x11);
    EXPECT_EQ(got[1][0], 0x0F);
    EXPECT_EQ(got[1][1], 0x00);
    EXPECT_TRUE(unit.timing.applies.empty());
}

TEST_F(adjust_form6, while_a_download_runs_nothing_can_send)
{
    adjust::set_download_running(true);
    adjust::show_form6();
    EXPECT_EQ(adjust::form6(), nullptr);  // opening would read the unit
    EXPECT_TRUE(commands().empty());
    adjust::set_download_running(false);

    adjust::Form6& form = open();
    adjust::set_download_running(true);
    for (QScrollBar* bar : form.bars) {
        EXPECT_FALSE(bar->isEnabled());
    }
    EXPECT_FALSE(form.Command2->isEnabled());
    EXPECT_TRUE(form.Command1->isEnabled());  // a save sends nothing
    adjust::set_download_running(false);
    EXPECT_TRUE(form.h2pos->isEnabled());
    EXPECT_TRUE(form.Command2->isEnabled());
    close_form();
    // The closed window no longer listens.
    adjust::set_download_running(true);
    adjust::set_download_running(false);
}

TEST_F(adjust_form6, layout_follows_the_design_in_twips)
{
    adjust::Form6& form = open();
    EXPECT_EQ(form.windowTitle(), QStringLiteral("入出力映像信号調整"));
    EXPECT_EQ(form.size(), QSize(552, 340));
    EXPECT_EQ(form.Frame2->title(), QStringLiteral("入力信号Clamp"));
    EXPECT_EQ(form.Frame2->geometry(), QRect(288, 16, 249, 97));
    EXPECT_EQ(form.clamp_width->parentWidget(), static_cast<QWidget*>(form.Frame2));
    EXPECT_EQ(form.clamp_width->geometry(), QRect(96, 48, 97, 25));
    EXPECT_EQ(form.clamp_width->maximum(), 255);
    EXPECT_FALSE(form.clamp_width->hasTracking());
    EXPECT_EQ(form.labels[index_of("clamp_width")]->text(), QStringLiteral("clamp width"));
    EXPECT_EQ(form.pv1pos->parentWidget(), static_cast<QWidget*>(form.Frame4));
    EXPECT_EQ(form.pv1pos->geometry(), QRect(48, 56, 145, 25));
    EXPECT_EQ(form.pv1pos_txt->geometry(), QRect(200, 56, 41, 25));
    EXPECT_EQ(form.pv1pos->maximum(), 4095);
    EXPECT_EQ(form.findChild<QScrollBar*>("h2pos"), form.h2pos);
    EXPECT_EQ(form.findChild<QLineEdit*>("h2pos_txt"), form.h2pos_txt);
    EXPECT_EQ(form.Command2->text(), QStringLiteral("data load"));
    EXPECT_EQ(form.Command2->geometry(), QRect(432, 296, 113, 33));
}

}  // namespace
