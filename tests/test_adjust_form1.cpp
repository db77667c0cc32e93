#include <gtest/gtest.h>

#include <QLineEdit>
#include <QPushButton>
#include <QTimer>

#include "adjust/form1.h"
#include "devicelink/link.h"
#include "devicelink/tick_clock.h"
#include "devicelink/twips.h"
#include "support/doubles.h"
#include "support/fake_platform.h"
#include "support/virtual_unit.h"

namespace {

using testing_support::bytes;

const QString connect_text = QStringLiteral("ＺＯＶＡ－３  Ｃｏｎｎｅｃｔ");
const QString no_connect_text = QStringLiteral("ＺＯＶＡ－３　No　Ｃｏｎｎｅｃｔ");

bool all_buttons_enabled(const adjust::Form1& f, bool enabled)
{
    for (QPushButton* b : {f.Command1, f.Command2, f.Command3, f.Command10}) {
        if (b->isEnabled() != enabled) {
            return false;
        }
    }
    return true;
}

class adjust_form1 : public testing_support::virtual_unit_test {
protected:
    testing_support::desktop_doubles doubles;
};

TEST_F(adjust_form1, connected_unit_gets_exactly_the_presence_query)
{
    devicelink::command_frame.fill(0x5A);  // whatever an earlier command left
    adjust::Form1 form;
    EXPECT_EQ(form.Text1->text(), connect_text);
    EXPECT_TRUE(all_buttons_enabled(form, true));
    EXPECT_EQ(adjust::connected, 1);
    EXPECT_EQ(commands(), (std::vector<sim::frame>{bytes({0x02, 0, 0, 0, 0, 0, 0, 0})}));
}

TEST_F(adjust_form1, silent_unit_reads_as_absent_but_stays_open)
{
    unit.opt.silent = true;
    adjust::Form1 form;
    EXPECT_EQ(form.Text1->text(), no_connect_text);
    EXPECT_TRUE(all_buttons_enabled(form, false));
    EXPECT_EQ(adjust::connected, 0);
    EXPECT_EQ(commands().size(), 1u);
    EXPECT_GE(devicelink::device_handle, 0);
    EXPECT_EQ(platform.closes, 0);
}

TEST_F(adjust_form1, closing_closes_both_handles_and_ends_the_program)
{
    {
        adjust::Form1 form;
        form.show();
        form.close();
        EXPECT_EQ(doubles.ending.calls, 1);
    }
    EXPECT_EQ(platform.closes, 2);
    EXPECT_LT(devicelink::device_handle, 0);
}

TEST_F(adjust_form1, layout_follows_the_design_in_twips)
{
    adjust::Form1 form;
    EXPECT_EQ(form.windowTitle(), QStringLiteral("ZOVA-3 映像信号調整TOOL Ver 1.11"));
    EXPECT_EQ(form.size(), QSize(493, 126));
    EXPECT_EQ(form.Text1->geometry(), QRect(24, 24, 409, 33));
    EXPECT_EQ(form.Command10->text(), QStringLiteral("zova cmd　load"));
    EXPECT_EQ(form.Command10->geometry(), QRect(272, 80, 105, 33));
    EXPECT_EQ(form.Command1->text(), QStringLiteral("入出力映像信号調整"));
    EXPECT_EQ(form.Command1->geometry(), QRect(16, 80, 121, 33));
    EXPECT_EQ(form.Command2->text(), QStringLiteral("リモートコントロール"));
    EXPECT_EQ(form.Command2->geometry(), QRect(144, 80, 121, 33));
    EXPECT_EQ(form.Command3->text(), QStringLiteral("キャプチャー"));
    EXPECT_EQ(form.Command3->geometry(), QRect(384, 80, 105, 33));
    EXPECT_DOUBLE_EQ(form.Text1->font().pointSizeF(), 11.25);
    EXPECT_EQ(form.Timer1->interval(), devicelink::tick_interval_ms());
    EXPECT_TRUE(form.Timer1->isActive());
}

// Replies scripted byte by byte, through the plain platform double.
class adjust_form1_replies : public testing_support::fake_platform_test {
protected:
    testing_support::desktop_doubles doubles;
};

TEST_F(adjust_form1_replies, one_nonzero_reply_byte_counts_and_the_report_id_does_not)
{
    struct reply_case {
        std::vector<std::uint8_t> reply;
        bool answers;
    };
    for (const reply_case& c : {reply_case{{0, 0, 0, 0, 0, 0, 0, 0, 0x01}, true},
                                reply_case{{0x07, 0, 0, 0, 0, 0, 0, 0, 0}, false},
                                reply_case{{0, 0, 0, 0, 0, 0, 0, 0, 0, 0xFF}, false}}) {
        devicelink::reset_for_tests();
        platform = {};
        platform.add("/dev/hidraw0", {0x17A7, 0x0001, 0});
        std::vector<std::uint8_t> r(65, 0);
        std::copy(c.reply.begin(), c.reply.end(), r.begin());
        platform.interfaces[0].answers.push_back(r);
        adjust::Form1 form;
        EXPECT_EQ(form.Text1->text(), c.answers ? connect_text : no_connect_text);
        EXPECT_EQ(adjust::connected, c.answers ? 1 : 0);
    }
}

TEST_F(adjust_form1_replies, no_unit_sends_nothing_and_disables_everything)
{
    platform.add("/dev/hidraw0", {0x046D, 0xC077, 0}, {9, 2});
    adjust::Form1 form;
    EXPECT_EQ(form.Text1->text(), no_connect_text);
    EXPECT_TRUE(all_buttons_enabled(form, false));
    EXPECT_EQ(adjust::connected, 0);
    EXPECT_TRUE(platform.written.empty());
    EXPECT_EQ(platform.open_handles, 0);
}

}  // namespace
