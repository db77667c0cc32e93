#include <gtest/gtest.h>

#include <QGroupBox>
#include <QImage>
#include <QLabel>
#include <QPushButton>
#include <QScrollBar>
#include <QtTest/QTest>

#include <algorithm>
#include <set>

#include "adjust/busy.h"
#include "adjust/form2.h"
#include "adjust/form6.h"
#include "adjust/windows.h"
#include "devicelink/link.h"
#include "devicelink/twips.h"
#include "support/doubles.h"
#include "support/virtual_unit.h"

namespace {

using adjust::remote_buttons;

class adjust_form2 : public testing_support::virtual_unit_test {
protected:
    void TearDown() override
    {
        for (QWidget* w : {static_cast<QWidget*>(adjust::form2()), static_cast<QWidget*>(adjust::form6())}) {
            if (w != nullptr) {
                w->close();
                delete w;
            }
        }
        virtual_unit_test::TearDown();
    }
    adjust::Form2& open()
    {
        adjust::show_form2();
        EXPECT_NE(adjust::form2(), nullptr);
        return *adjust::form2();
    }
    QPushButton* button(adjust::Form2& form, int number)
    {
        return form.findChild<QPushButton*>(QStringLiteral("Command%1").arg(number));
    }
    testing_support::desktop_doubles doubles;
};

TEST_F(adjust_form2, every_key_sends_its_code_and_keeps_the_other_bytes)
{
    adjust::Form2& form = open();
    EXPECT_TRUE(commands().empty());  // opening sends nothing
    devicelink::command_frame = {0x00, 0x00, 0xA1, 0xA2, 0xA3, 0xA4, 0xA5, 0xA6};
    std::vector<std::uint8_t> codes;
    for (const adjust::remote_button& b : remote_buttons) {
        if (b.code == adjust::power_key) {
            continue;
        }
        QPushButton* key = button(form, b.number);
        ASSERT_NE(key, nullptr) << b.number;
        QTest::mouseClick(key, Qt::LeftButton);
        codes.push_back(static_cast<std::uint8_t>(b.code));
    }
    ASSERT_EQ(commands().size(), 35u);
    for (std::size_t n = 0; n < codes.size(); ++n) {
        EXPECT_EQ(commands()[n], testing_support::bytes({0x13, codes[n], 0xA1, 0xA2, 0xA3, 0xA4, 0xA5, 0xA6}));
    }
    EXPECT_EQ(unit.remote_keys, codes);
    EXPECT_EQ(std::set<std::uint8_t>(codes.begin(), codes.end()).size(), 35u);
    EXPECT_EQ(doubles.ending.calls, 0);
}

TEST_F(adjust_form2, a_key_after_a_timing_change_carries_that_write)
{
    adjust::show_form6();
    adjust::Form6& timing = *adjust::form6();
    adjust::Form2& form = open();
    unit.log.clear();
    timing.h2pos->setValue(1000);
    QTest::mouseClick(button(form, 21), Qt::LeftButton);
    const auto got = commands();
    ASSERT_EQ(got.size(), 3u);
    sim::frame key = got[0];
    key[0] = 0x13;
    key[1] = 0x0C;
    EXPECT_EQ(got[2], key);
    EXPECT_EQ(got[2][4], 0xE8);
    EXPECT_EQ(got[2][6], 0x03);
}

TEST_F(adjust_form2, the_power_key_ends_the_program_and_sends_nothing)
{
    adjust::show_form6();
    adjust::Form2& form = open();
    unit.log.clear();
    QTest::mouseClick(button(form, 18), Qt::LeftButton);
    EXPECT_EQ(doubles.ending.calls, 1);
    EXPECT_TRUE(commands().empty());
}

TEST_F(adjust_form2, one_window_and_closing_sends_nothing)
{
    adjust::show_form2();
    adjust::Form2* first = adjust::form2();
    adjust::show_form2();
    EXPECT_EQ(adjust::form2(), first);
    EXPECT_TRUE(first->isVisible());
    first->close();
    delete adjust::form2();
    EXPECT_EQ(adjust::form2(), nullptr);
    EXPECT_TRUE(commands().empty());
}

TEST_F(adjust_form2, while_a_download_runs_the_keys_are_off_but_power_is_not)
{
    adjust::Form2& form = open();
    adjust::set_download_running(true);
    for (const adjust::remote_button& b : remote_buttons) {
        EXPECT_EQ(button(form, b.number)->isEnabled(), b.code == adjust::power_key) << b.number;
    }
    QTest::mouseClick(button(form, 17), Qt::LeftButton);
    EXPECT_TRUE(commands().empty());
    adjust::set_download_running(false);
    EXPECT_TRUE(button(form, 17)->isEnabled());
    form.close();
    delete adjust::form2();
    adjust::set_download_running(true);  // the gone window no longer listens
    adjust::set_download_running(false);
    // A window opened during a download starts with its keys off.
    adjust::set_download_running(true);
    adjust::Form2& later = open();
    EXPECT_FALSE(button(later, 17)->isEnabled());
    adjust::set_download_running(false);
}

TEST_F(adjust_form2, keys_are_pictures_at_their_places_on_the_painted_body)
{
    adjust::Form2& form = open();
    EXPECT_EQ(form.windowTitle(), QStringLiteral("ZOVA-3　リモコン"));
    EXPECT_EQ(form.size(), desktop::twips_size(3360, 8685));
    EXPECT_EQ(adjust::remote_body_picture().size(), QSize(225, 579));
    EXPECT_EQ(form.Frame1->title(), QStringLiteral("入力切替"));
    EXPECT_EQ(form.Label2->parentWidget(), static_cast<QWidget*>(form.Frame3));
    EXPECT_EQ(form.Label4->text(), QStringLiteral("ミキサ"));

    // Group origins in twips, as the panel was designed.
    const auto origin = [](adjust::remote_group g) {
        switch (g) {
        case adjust::remote_group::input: return QPoint(0, 960);
        case adjust::remote_group::cursor: return QPoint(40, 2040);
        case adjust::remote_group::headphone: return QPoint(120, 7560);
        case adjust::remote_group::window: break;
        }
        return QPoint(0, 0);
    };
    std::set<qint64> faces;
    for (const adjust::remote_button& b : remote_buttons) {
        QPushButton* key = button(form, b.number);
        const QPoint o = origin(b.group);
        EXPECT_EQ(key->mapTo(&form, QPoint(0, 0)),
                  QPoint(desktop::px(o.x()) + desktop::px(b.left), desktop::px(o.y()) + desktop::px(b.top)))
            << b.number;
        const QSize size = desktop::twips_size(b.width, b.height);
        EXPECT_EQ(key->size(), size) << b.number;
        EXPECT_TRUE(key->text().isEmpty()) << b.number;
        const QImage face = key->icon().pixmap(size).toImage();
        EXPECT_EQ(face.size(), size) << b.number;
        faces.insert(static_cast<qint64>(qHashBits(face.constBits(), static_cast<size_t>(face.sizeInBytes()))));
    }
    // Every distinct face is drawn differently ("小" and "大" appear twice each).
    EXPECT_EQ(faces.size(), 34u);
}

}  // namespace
