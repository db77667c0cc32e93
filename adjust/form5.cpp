#include "adjust/form5.h"

#include <QCloseEvent>
#include <QMetaObject>
#include <QPainter>
#include <QPaintEvent>
#include <QPlainTextEdit>
#include <QPointer>
#include <QPushButton>

#include <algorithm>
#include <array>
#include <cmath>

#include "adjust/bmp.h"
#include "adjust/busy.h"
#include "adjust/form1.h"
#include "adjust/windows.h"
#include "devicelink/commands.h"
#include "devicelink/desktop.h"
#include "devicelink/link.h"
#include "devicelink/tick_clock.h"
#include "devicelink/twips.h"

namespace adjust {

std::int16_t freeze_state = 0;
std::int16_t stop_request = 0;
std::int32_t transfer_width = 0;
std::int32_t picture_width = 0;
std::int32_t picture_height = 0;
std::vector<std::uint8_t> pixel_store;
std::int32_t store_width = 0;
std::int32_t store_height = 0;

namespace {

QPointer<Form5> current;

// Design rectangle of the picture box, in twips.
constexpr int picture_left = 240;
constexpr int picture_top = 0;
constexpr int picture_design_width = 8000;
constexpr int picture_design_height = 4500;

constexpr std::size_t report_bytes = 64;
constexpr int max_reports_per_line = 2047 / 64 * 3;

QString caption_frozen()
{
    return QStringLiteral("静止中");
}

QString caption_live()
{
    return QStringLiteral("静止");
}

// Reply byte i of the last read; a link that never found a unit has no buffer.
std::uint8_t reply_byte(std::size_t i)
{
    return i < devicelink::input_report.size() ? devicelink::input_report[i] : 0;
}

void send_freeze(std::int16_t state)
{
    devicelink::build::set_freeze(state == 1);
    devicelink::exchange();
}

}  // namespace

Form5* form5()
{
    return current;
}

void show_form5()
{
    if (current == nullptr) {
        auto* form = new Form5;
        form->setAttribute(Qt::WA_DeleteOnClose);
        form->show();
        return;
    }
    current->show();
    current->raise();
    current->activateWindow();
}

picture_box::picture_box(QWidget* parent) : QWidget(parent)
{
    setAttribute(Qt::WA_OpaquePaintEvent);
}

void picture_box::clear_picture(int width, int height)
{
    image = QImage(width, height, QImage::Format_RGB32);
    image.fill(palette().color(QPalette::Window));
    update();
}

void picture_box::line_drawn(int y)
{
    if (image.isNull()) {
        return;
    }
    const double scale = static_cast<double>(height()) / image.height();
    const int top = static_cast<int>(std::floor(y * scale)) - 1;
    const int bottom = static_cast<int>(std::ceil((y + 1) * scale)) + 1;
    update(0, top, width(), bottom - top);
}

void picture_box::paintEvent(QPaintEvent* event)
{
    QPainter painter(this);
    painter.setClipRect(event->rect());
    if (image.isNull()) {
        painter.fillRect(event->rect(), palette().color(QPalette::Window));
        return;
    }
    // Nearest pixel, as points drawn at the picture's own scale would land.
    painter.drawImage(rect(), image);
}

Form5::Form5(QWidget* parent) : QWidget(parent)
{
    using desktop::twips_rect;
    current = this;
    setWindowTitle(QStringLiteral("ZOVA-3 Capture Tool"));
    setFixedSize(desktop::twips_size(8505, 6240));

    Picture1 = new picture_box(this);
    Picture1->setGeometry(twips_rect(picture_left, picture_top, picture_design_width, picture_design_height));
    Command1 = desktop::twips_button(this, caption_live(), 360, 4560, 1215, 855);
    Command2 = desktop::twips_button(this, QStringLiteral("キャプチャー"), 2040, 4560, 1215, 855);
    Command3 = desktop::twips_button(this, QStringLiteral("停止"), 3720, 4560, 1095, 855);
    Command4 = desktop::twips_button(this, QStringLiteral("BMP保存"), 5280, 4560, 1095, 855);
    Command5 = desktop::twips_button(this, QStringLiteral("終了"), 6840, 4560, 1095, 855);
    Text1 = new QPlainTextEdit(this);
    Text1->setGeometry(twips_rect(480, 5520, 7455, 615));
    Text1->setFont(desktop::japanese_font(QStringLiteral("ＭＳ Ｐゴシック"), 9));

    QObject::connect(Command1, &QPushButton::clicked, this, [this] { freeze_switch(); });
    QObject::connect(Command2, &QPushButton::clicked, this, [this] { read_out(); });
    QObject::connect(Command3, &QPushButton::clicked, this, [] { stop_request = 1; });
    QObject::connect(Command4, &QPushButton::clicked, this, [this] { save(); });
    QObject::connect(Command5, &QPushButton::clicked, this, [this] { close(); });

    // The command-file load streams into flash; nothing of ours may land among its frames.
    on_download_running(this, [this](bool running) {
        update_buttons();
        if (!running && check_pending) {
            // Checked from the event loop, once the download's own handler has returned.
            QMetaObject::invokeMethod(
                this,
                [this] {
                    if (check_pending) {
                        fpga_check();
                    }
                },
                Qt::QueuedConnection);
        }
    });

    // Window load.
    freeze_state = 0;
    if (download_running()) {
        check_pending = true;
        update_buttons();
    } else {
        fpga_check();
    }
}

void Form5::update_buttons()
{
    const bool may_send = ready && !reading && !download_running();
    Command1->setEnabled(may_send);
    Command2->setEnabled(may_send);
    Command3->setEnabled(ready);
    Command4->setEnabled(ready && attempted && !reading);
    Command5->setEnabled(!reading);
}

void Form5::fpga_check()
{
    if (download_running()) {
        return;  // checked again when it ends
    }
    check_pending = false;
    devicelink::build::picture_info();
    devicelink::exchange();
    ready = reply_byte(5) == 2;
    if (ready) {
        Text1->setPlainText(QStringLiteral("ZOVA-3 Capture 準備完了\r\n"
                                           "キャプチャー操作中は本体やリモコンのボタンを操作しないでください。"));
    } else {
        Text1->setPlainText(QStringLiteral("ZOVA-3 FPGA SELECTをB2にしてください。 \r\n"
                                           "ZOVA-3と本アプリを再スタートしてください。"));
    }
    update_buttons();
}

void Form5::freeze_switch()
{
    if (freeze_state == 1) {
        Command1->setText(caption_live());
        freeze_state = 0;
    } else {
        Command1->setText(caption_frozen());
        freeze_state = 1;
    }
    send_freeze(freeze_state);
}

void Form5::read_out()
{
    reading = true;
    update_buttons();
    const std::int16_t remembered = freeze_state;
    stop_request = 0;

    Command1->setText(caption_frozen());
    freeze_state = 1;
    send_freeze(1);

    devicelink::build::picture_info();
    devicelink::exchange();
    const std::int32_t h = reply_byte(1) + 256 * reply_byte(2);
    const std::int32_t v = reply_byte(3) + 256 * reply_byte(4);
    const bool signal = reply_byte(6) != 0;
    const std::int32_t active_width = h + 7;
    transfer_width = (h + 70) / 64 * 64;
    picture_width = (h + 10) / 4 * 4;
    picture_height = v + 10;

    if (signal && transfer_width >= 101 && transfer_width <= 2047 && picture_height >= 101 &&
        picture_height <= 1299) {
        place_picture();
        Text1->setPlainText(QStringLiteral("画面情報：水平SIZE= %1dot , 垂直SIZE= %2dot , RGB　24bit")
                                .arg(picture_width)
                                .arg(picture_height));
        pixel_store.assign(static_cast<std::size_t>(picture_width) * picture_height * 3, 0);
        store_width = picture_width;
        store_height = picture_height;
        read_lines(active_width);
    } else {
        Text1->setPlainText(QStringLiteral("入力映像が無いか、不適切です。"));
    }

    // The ending, after the last line and after a rejection alike.
    attempted = true;
    reading = false;
    update_buttons();
    freeze_state = remembered;
    Command1->setText(freeze_state == 1 ? caption_frozen() : caption_live());
    send_freeze(remembered);

    if (close_after_reading) {
        close();
    }
}

// Keeps the aspect at the design height and centres the box on the design
// rectangle; a wide picture may reach past its left edge.
void Form5::place_picture()
{
    const float display_width = static_cast<float>(picture_width) * 4500.0F / static_cast<float>(picture_height);
    const float left = (static_cast<float>(picture_design_width) - display_width) / 2.0F + picture_left;
    const auto pixels = [](float twips) { return static_cast<int>(std::lround(twips / 15.0F)); };
    Picture1->setGeometry(pixels(left), desktop::px(picture_top), pixels(display_width),
                          desktop::px(picture_design_height));
    Picture1->clear_picture(picture_width, picture_height);
}

void Form5::read_lines(std::int32_t active_width)
{
    const int reports = transfer_width / 64 * 3;
    std::array<std::uint8_t, max_reports_per_line * report_bytes> line{};
    const auto row_bytes = static_cast<std::size_t>(picture_width) * 3;

    for (std::int32_t y = 0; y < picture_height; ++y) {
        devicelink::build::line_read(static_cast<std::uint8_t>(reports));
        devicelink::write_report(devicelink::command_frame);
        for (int r = 0; r < reports; ++r) {
            devicelink::read_report();
            const auto at = line.begin() + static_cast<std::ptrdiff_t>(r * report_bytes);
            if (devicelink::input_report.size() > report_bytes) {
                std::copy_n(devicelink::input_report.begin() + 1, report_bytes, at);
            } else {
                std::fill_n(at, report_bytes, 0);
            }
        }

        // Red, green, blue on the wire; blue, green, red in the store. Pixels
        // past the kept width are dropped.
        std::uint8_t* row = pixel_store.data() + row_bytes * y;
        for (std::int32_t x = 0; x < picture_width; ++x) {
            row[x * 3] = line[x * 3 + 2];
            row[x * 3 + 1] = line[x * 3 + 1];
            row[x * 3 + 2] = line[x * 3];
        }
        // The rounding to whole pixel groups adds up to three pixels that the
        // unit never filled.
        for (std::int32_t x = active_width; x < picture_width; ++x) {
            std::fill_n(row + x * 3, 3, 0);
        }

        auto* shown = reinterpret_cast<QRgb*>(Picture1->image.scanLine(y));
        for (std::int32_t x = 0; x < picture_width; ++x) {
            shown[x] = qRgb(row[x * 3 + 2], row[x * 3 + 1], row[x * 3]);
        }
        Picture1->line_drawn(y);

        devicelink::pump_events();
        if (stop_request == 1 || connected == 0) {
            break;
        }
    }
}

void Form5::save()
{
    // With no accepted picture there is nothing whose size a header could tell.
    if (pixel_store.empty()) {
        return;
    }
    const QString documents = desktop::documents().path();
    if (documents.isEmpty()) {
        return;
    }
    desktop::file_request request;
    request.title = QStringLiteral("ファイルを保存");
    request.start_folder = documents;
    request.filter = QStringLiteral("24ﾋﾞｯﾄ ﾋﾞｯﾄﾏｯﾌﾟ(*.bmp)");
    const QString chosen = desktop::dialogs().save_file(request);
    if (chosen.isEmpty()) {
        return;
    }
    file_path = bmp_file_name(chosen);
    write_bmp(store_width, store_height);
}

void Form5::closeEvent(QCloseEvent* event)
{
    if (reading) {
        // The read-out ends at the end of its line, gives the unit its freeze
        // state back, and closes the window then.
        stop_request = 1;
        close_after_reading = true;
        event->ignore();
        return;
    }
    event->accept();
}

}  // namespace adjust
