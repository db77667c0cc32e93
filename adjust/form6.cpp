#include "adjust/form6.h"

#include <QCloseEvent>
#include <QFile>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>
#include <QSaveFile>
#include <QScrollBar>
#include <QSignalBlocker>

#include <algorithm>

#include "adjust/busy.h"
#include "adjust/windows.h"
#include "devicelink/commands.h"
#include "devicelink/desktop.h"
#include "devicelink/link.h"
#include "devicelink/tick_clock.h"
#include "devicelink/twips.h"

namespace adjust {

std::array<std::uint8_t, timing_table_size> timing_table{};
std::array<std::uint8_t, 2> timing_base{};

namespace {

QPointer<Form6> the_form6;
// The opening pumps events; a second click meanwhile must not open a second window.
bool opening = false;

constexpr int read_passes = 10;
constexpr int read_step = 8;
constexpr int wait_after_read = 3;

struct group_box {
    const char* caption;
    int left, top, width, height;
};

constexpr std::array<group_box, 4> group_boxes{{
    {"入力信号タイミング", 120, 120, 3855, 2295},
    {"入力信号Clamp", 4320, 240, 3735, 1455},
    {"出力同期タイミング", 4320, 1920, 3855, 2295},
    {"出力信号タイミング", 120, 2520, 3855, 2295},
}};

constexpr std::array<QScrollBar* Form6::*, timing_parameters.size()> bar_members{
    &Form6::h2pos, &Form6::v2pos, &Form6::h2size, &Form6::v2size, &Form6::clamp_start,
    &Form6::clamp_width, &Form6::hst, &Form6::vst, &Form6::hsw, &Form6::vsw,
    &Form6::ph1pos, &Form6::ph1size, &Form6::pv1pos, &Form6::pv1size,
};

constexpr std::array<QLineEdit* Form6::*, timing_parameters.size()> text_members{
    &Form6::h2pos_txt, &Form6::v2pos_txt, &Form6::h2size_txt, &Form6::v2size_txt, &Form6::clamp_start_txt,
    &Form6::clamp_width_txt, &Form6::hst_txt, &Form6::vst_txt, &Form6::hsw_txt, &Form6::vsw_txt,
    &Form6::ph1pos_txt, &Form6::ph1size_txt, &Form6::pv1pos_txt, &Form6::pv1size_txt,
};

int maximum(const timing_parameter& p)
{
    return p.bits == 12 ? 4095 : 255;
}

int table_value(const timing_parameter& p)
{
    const std::size_t low = static_cast<std::size_t>(p.low_entry);
    return p.bits == 12 ? timing_table[low] + 256 * timing_table[low + 2] : timing_table[low];
}

// Reply byte n of the last read; zero when no unit was ever found.
std::uint8_t reply_byte(std::size_t n)
{
    return n < devicelink::input_report.size() ? devicelink::input_report[n] : 0;
}

// The unit's address of entry k: a 16-bit sum, so that a base near the top of
// a 256-byte page carries into the high byte instead of wrapping.
std::uint16_t timing_address(int k)
{
    return static_cast<std::uint16_t>(timing_base[0] + 256 * timing_base[1] + k);
}

// A file to load: at least 256 bytes, and every 12-bit parameter in range.
bool acceptable_timing_file(const QByteArray& bytes)
{
    if (static_cast<std::size_t>(bytes.size()) < timing_file_loaded_bytes) {
        return false;
    }
    return std::all_of(timing_parameters.begin(), timing_parameters.end(), [&](const timing_parameter& p) {
        return p.bits != 12 || static_cast<std::uint8_t>(bytes[p.low_entry + 2]) <= 15;
    });
}

bool still_open(const QPointer<Form6>& form)
{
    return !form.isNull() && !form->unloaded;
}

}  // namespace

Form6* form6()
{
    return the_form6.data();
}

void write_timing_block(int k)
{
    const std::uint16_t address = timing_address(k);
    const auto first = timing_table.begin() + k;
    std::array<std::uint8_t, 4> block{};
    std::copy(first, first + 4, block.begin());
    devicelink::build::timing_write(static_cast<std::uint8_t>(address & 0xFF),
                                    static_cast<std::uint8_t>(address >> 8), block);
    devicelink::exchange();
}

void apply_timing_block()
{
    devicelink::build::timing_apply();
    devicelink::exchange();
}

void refresh_timing_controls(Form6& form)
{
    for (std::size_t i = 0; i < timing_parameters.size(); ++i) {
        const timing_parameter& p = timing_parameters[i];
        const int value = table_value(p);
        if (value > maximum(p)) {
            // The unit holds more than the bar can show. The bar stands at its
            // end without a change being reported, so nothing is written back
            // that the user did not choose; the text box shows the unit's value.
            const QSignalBlocker quiet(form.bars[i]);
            form.bars[i]->setValue(maximum(p));
            form.texts[i]->setText(QString::number(value));
            continue;
        }
        form.bars[i]->setValue(value);
    }
}

void read_timing_area()
{
    devicelink::build::timing_mode(true);
    devicelink::exchange();
    timing_base = {reply_byte(1), reply_byte(2)};
    for (int pass = 0; pass < read_passes; ++pass) {
        const int first = pass * read_step;
        const std::uint16_t address = timing_address(first);
        devicelink::build::timing_read(static_cast<std::uint8_t>(address & 0xFF),
                                       static_cast<std::uint8_t>(address >> 8));
        devicelink::exchange();
        for (int n = 0; n < read_step; ++n) {
            timing_table[static_cast<std::size_t>(first + n)] = reply_byte(static_cast<std::size_t>(n + 1));
        }
        devicelink::wait_ticks(wait_after_read);
    }
}

void timing_changed(Form6& form, std::size_t parameter, int value)
{
    const timing_parameter& p = timing_parameters[parameter];
    form.texts[parameter]->setText(QString::number(value));
    const std::size_t low_entry = static_cast<std::size_t>(p.low_entry);
    const auto low = static_cast<std::uint8_t>(value % 256);
    const auto high = static_cast<std::uint8_t>(value / 256);
    const bool same = timing_table[low_entry] == low && (p.bits != 12 || timing_table[low_entry + 2] == high);
    if (same) {
        return;
    }
    timing_table[low_entry] = low;
    if (p.bits == 12) {
        timing_table[low_entry + 2] = high;
    }
    write_timing_block(p.low_entry);
    apply_timing_block();
}

void save_timing_file(Form6& form)
{
    const QString folder = desktop::documents().path();
    if (folder.isEmpty()) {
        return;
    }
    form.dialog_file_name = QStringLiteral("zova3_syc*.bin");
    const QString path = desktop::dialogs().save_file(
        {QStringLiteral("ZOVA-3 入出力映像タイミングDataを保存"), folder, form.dialog_file_name, {}});
    if (path.isEmpty()) {
        return;
    }
    form.dialog_file_name = path;
    // Written beside the old file and renamed over it, so a failed save
    // never leaves a truncated file where a good one was.
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly)) {
        return;
    }
    file.write(reinterpret_cast<const char*>(timing_table.data()), static_cast<qint64>(timing_table.size()));
    file.commit();
}

void load_timing_file(Form6& form)
{
    const QString folder = desktop::documents().path();
    if (folder.isEmpty()) {
        return;
    }
    const QString path = desktop::dialogs().open_file(
        {QStringLiteral("ZOVA-3 入出力映像タイミングDataを読込"), folder, form.dialog_file_name, {}});
    if (!path.isEmpty()) {
        form.dialog_file_name = path;
        QFile file(path);
        if (!file.open(QIODevice::ReadOnly)) {
            return;
        }
        const QByteArray bytes = file.read(static_cast<qint64>(timing_file_loaded_bytes));
        file.close();
        // Checked before anything changes: a bad file leaves the table, the
        // unit and the controls as they were.
        if (!acceptable_timing_file(bytes)) {
            return;
        }
        std::copy_n(bytes.begin(), timing_file_loaded_bytes, timing_table.begin());
    }
    // The waits pump events: the user may close the window meanwhile.
    const QPointer<Form6> window(&form);
    for (int block = 0; block < timing_load_blocks; ++block) {
        write_timing_block(block * 4);
        devicelink::wait_ticks(wait_after_read);
        if (!still_open(window)) {
            return;
        }
    }
    refresh_timing_controls(form);
    apply_timing_block();
}

Form6::Form6(QWidget* parent) : QWidget(parent)
{
    using desktop::twips_rect;
    setAttribute(Qt::WA_DeleteOnClose);
    setObjectName(QStringLiteral("Form6"));
    setWindowTitle(QStringLiteral("入出力映像信号調整"));
    setFixedSize(desktop::twips_size(8280, 5100));
    setFont(desktop::japanese_font(QStringLiteral("ＭＳ Ｐゴシック"), 9));

    std::array<QGroupBox*, group_boxes.size()> frames{};
    for (std::size_t g = 0; g < group_boxes.size(); ++g) {
        const group_box& b = group_boxes[g];
        frames[g] = new QGroupBox(QString::fromUtf8(b.caption), this);
        frames[g]->setObjectName(QStringLiteral("Frame%1").arg(g + 1));
        frames[g]->setGeometry(twips_rect(b.left, b.top, b.width, b.height));
    }
    Frame1 = frames[0];
    Frame2 = frames[1];
    Frame3 = frames[2];
    Frame4 = frames[3];

    for (std::size_t i = 0; i < timing_parameters.size(); ++i) {
        const timing_parameter& p = timing_parameters[i];
        QGroupBox* frame = frames[static_cast<std::size_t>(p.group)];
        const QString name = QString::fromUtf8(p.name);

        auto* bar = new QScrollBar(Qt::Horizontal, frame);
        bar->setObjectName(name);
        bar->setRange(0, maximum(p));
        bar->setSingleStep(1);
        bar->setPageStep(1);
        bar->setValue(0);
        // A drag reports one change, when the thumb is released.
        bar->setTracking(false);
        bar->setGeometry(p.bits == 12 ? twips_rect(720, p.row_top, 2175, 375) : twips_rect(1440, p.row_top, 1455, 375));

        auto* text = new QLineEdit(QStringLiteral("000"), frame);
        text->setObjectName(name + QStringLiteral("_txt"));
        text->setGeometry(twips_rect(3000, p.row_top, 615, 375));

        auto* label = new QLabel(QString::fromUtf8(p.label), frame);
        label->setObjectName(QStringLiteral("Label%1").arg(i + 1));
        label->setGeometry(twips_rect(p.label_left, p.row_top, p.label_width, 255));

        bars[i] = bar;
        texts[i] = text;
        labels[i] = label;
        this->*bar_members[i] = bar;
        this->*text_members[i] = text;
        QObject::connect(bar, &QScrollBar::valueChanged, this, [this, i](int value) { timing_changed(*this, i, value); });
    }

    Command1 = desktop::twips_button(this, QStringLiteral("data save"), 4440, 4440, 1695, 495);
    Command1->setObjectName(QStringLiteral("Command1"));
    Command2 = desktop::twips_button(this, QStringLiteral("data load"), 6480, 4440, 1695, 495);
    Command2->setObjectName(QStringLiteral("Command2"));
    QObject::connect(Command1, &QPushButton::clicked, this, [this] { save_timing_file(*this); });
    QObject::connect(Command2, &QPushButton::clicked, this, [this] { load_timing_file(*this); });

    enable_sending(!download_running());
    on_download_running(this, [this](bool running) { enable_sending(!running); });
}

void Form6::load()
{
    read_timing_area();
    refresh_timing_controls(*this);
}

void Form6::enable_sending(bool enabled)
{
    for (QScrollBar* bar : bars) {
        bar->setEnabled(enabled);
    }
    Command2->setEnabled(enabled);
}

void Form6::closeEvent(QCloseEvent* event)
{
    if (!unloaded) {
        unloaded = true;
        devicelink::build::timing_mode(false);
        devicelink::exchange();
    }
    event->accept();
}

void show_form6()
{
    if (the_form6 != nullptr) {
        the_form6->show();
        the_form6->raise();
        the_form6->activateWindow();
        return;
    }
    // Opening reads the unit; a download streaming into its flash must not be
    // interrupted by those frames.
    if (opening || download_running()) {
        return;
    }
    opening = true;
    auto* form = new Form6;
    form->load();
    opening = false;
    the_form6 = form;
    form->show();
}

}  // namespace adjust
