#include "adjust/form1.h"

#include <QCloseEvent>
#include <QLineEdit>
#include <QPushButton>
#include <QTimer>

#include "adjust/windows.h"
#include "devicelink/commands.h"
#include "devicelink/desktop.h"
#include "devicelink/link.h"
#include "devicelink/tick_clock.h"
#include "devicelink/twips.h"

namespace adjust {

std::int16_t connected = 0;
QString file_path;

namespace {

Form1* the_main_window = nullptr;

}  // namespace

Form1* main_window()
{
    return the_main_window;
}

Form1::Form1(QWidget* parent) : QWidget(parent)
{
    using desktop::twips_rect;
    the_main_window = this;
    setWindowTitle(QStringLiteral("ZOVA-3 映像信号調整TOOL Ver 1.11"));
    setFixedSize(desktop::twips_size(7395, 1890));

    Text1 = new QLineEdit(QStringLiteral("Text1"), this);
    Text1->setGeometry(twips_rect(360, 360, 6135, 495));
    Text1->setFont(desktop::japanese_font(QStringLiteral("ＭＳ Ｐゴシック"), 11.25));
    Command10 = desktop::twips_button(this, QStringLiteral("zova cmd　load"), 4080, 1200, 1575, 495);
    Command1 = desktop::twips_button(this, QStringLiteral("入出力映像信号調整"), 240, 1200, 1815, 495);
    Command2 = desktop::twips_button(this, QStringLiteral("リモートコントロール"), 2160, 1200, 1815, 495);
    Command3 = desktop::twips_button(this, QStringLiteral("キャプチャー"), 5760, 1200, 1575, 495);
    // Tab order follows the design, not the left-to-right placement.
    setTabOrder(Text1, Command10);
    setTabOrder(Command10, Command1);
    setTabOrder(Command1, Command2);
    setTabOrder(Command2, Command3);

    QObject::connect(Command1, &QPushButton::clicked, this, [] { show_form6(); });
    QObject::connect(Command2, &QPushButton::clicked, this, [] { show_form2(); });
    QObject::connect(Command3, &QPushButton::clicked, this, [] { show_form5(); });
    QObject::connect(Command10, &QPushButton::clicked, this, [] { command_file_load(); });

    Timer1 = devicelink::start_tick_timer(this);

    connect();
}

Form1::~Form1()
{
    if (the_main_window == this) {
        the_main_window = nullptr;
    }
}

void Form1::enable_buttons(bool enabled)
{
    for (QPushButton* b : {Command1, Command2, Command3, Command10}) {
        b->setEnabled(enabled);
    }
}

void Form1::connect()
{
    if (!devicelink::unit_answers()) {
        Text1->setText(QStringLiteral("ＺＯＶＡ－３　No　Ｃｏｎｎｅｃｔ"));
        enable_buttons(false);
        connected = 0;
    } else {
        Text1->setText(QStringLiteral("ＺＯＶＡ－３  Ｃｏｎｎｅｃｔ"));
        enable_buttons(true);
        connected = 1;
    }
}

void Form1::closeEvent(QCloseEvent* event)
{
    devicelink::close_handles();
    event->accept();
    desktop::ending().end_now();
}

}  // namespace adjust
