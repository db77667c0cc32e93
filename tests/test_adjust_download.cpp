#include <gtest/gtest.h>

#include <QLineEdit>
#include <QPushButton>
#include <QTest>

#include <numeric>

#include "adjust/busy.h"
#include "adjust/form1.h"
#include "devicelink/commands.h"
#include "devicelink/link.h"
#include "flash_fixture.h"
#include "sim/flash.h"
#include "support/doubles.h"

namespace {

using flash_testing::pattern;
using flash_testing::text_log;
using testing_support::bytes;

class command_file_load : public flash_testing::flash_test {
protected:
    void load(adjust::Form1& form, const QString& path)
    {
        doubles.dialogs.answers.push_back(path);
        QTest::mouseClick(form.Command10, Qt::LeftButton);
    }
    testing_support::desktop_doubles doubles;
};

TEST_F(command_file_load, writes_the_chosen_file_at_0xE8000_and_verifies_it)
{
    const auto content = pattern(20, 1);
    const QString path = write_file("cmd.bin", content);
    adjust::Form1 form;
    form.show();
    unit.log.clear();
    text_log texts(*form.Text1);
    std::vector<bool> buttons_while_running;
    QObject listener;
    adjust::on_download_running(&listener, [&](bool running) {
        if (running) {
            for (QPushButton* b : {form.Command1, form.Command2, form.Command3, form.Command10}) {
                buttons_while_running.push_back(b->isEnabled());
            }
        }
    });
    load(form, path);

    const unsigned sum = std::accumulate(content.begin(), content.end(), 0u);
    const QString hex_sum = QString::number(sum, 16).toUpper();
    EXPECT_EQ(texts.texts, (std::vector<QString>{"Download", "0byte", "8byte", "10byte", "Download End", "check sum start",
                                                 "Chack sum=" + hex_sum.rightJustified(4, '0') + "  Write OK  rom=" + hex_sum +
                                                     " file=" + hex_sum}));
    EXPECT_EQ(commands(), (std::vector<sim::frame>{bytes({0x04, 0x00, 0x00, 0x80, 0x0E, 0x55, 0xAA, 0x55}),
                                                   bytes({0x01, 0x00, 0x00, 0x80, 0x0E, 0x18, 0x00, 0x00}),
                                                   bytes({0x06, 0x00, 0x00, 0x80, 0x0E, 0x14, 0x00, 0x00}),
                                                   sim::frame{}}));
    auto written = content;
    written.resize(24, 0);
    EXPECT_EQ(sim::flash_bytes(unit, 0xE8000, 24), written);

    ASSERT_EQ(doubles.dialogs.requests.size(), 1u);
    EXPECT_EQ(doubles.dialogs.requests[0].title, QStringLiteral("ファイルを開く"));
    EXPECT_EQ(buttons_while_running, std::vector<bool>(4, false));
    EXPECT_FALSE(adjust::download_running());
    for (QPushButton* b : {form.Command1, form.Command2, form.Command3, form.Command10}) {
        EXPECT_TRUE(b->isEnabled());
    }
}

TEST_F(command_file_load, no_other_command_gets_among_the_data_frames)
{
    const QString path = write_file("cmd.bin", pattern(64, 2));
    adjust::Form1 form;
    form.show();
    unit.log.clear();
    // Another window sends a remote key while the data streams.
    QObject::connect(form.Text1, &QLineEdit::textChanged, form.Text1, [](const QString& t) {
        if (t == "10byte") {
            devicelink::build::remote_key(0x21);
            devicelink::exchange();
        }
    });
    load(form, path);
    EXPECT_EQ(devicelink::refused_frames(), 1u);
    EXPECT_EQ(data_frames().size(), 8u);
    const auto c = commands();
    EXPECT_TRUE(std::none_of(c.begin(), c.end(), [](const sim::frame& f) { return f[0] == 0x13; }));
    EXPECT_EQ(sim::flash_bytes(unit, 0xE8000, 64), pattern(64, 2));
    EXPECT_TRUE(form.Text1->text().startsWith("Chack sum="));
}

TEST_F(command_file_load, files_that_cannot_be_sent_show_the_open_error)
{
    adjust::Form1 form;
    form.show();
    const QString connected = form.Text1->text();
    unit.log.clear();
    load(form, "");
    EXPECT_EQ(form.Text1->text(), connected);
    for (const QString& path : {dir.filePath("missing.bin"), write_file("empty.bin", QByteArray())}) {
        load(form, path);
        EXPECT_EQ(form.Text1->text(), QStringLiteral("ファイル オープン　エラー"));
    }
    EXPECT_TRUE(unit.log.empty());
    EXPECT_TRUE(form.Command10->isEnabled());
}

}  // namespace
