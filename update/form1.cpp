#include "update/form1.h"

#include <QCloseEvent>
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QFrame>
#include <QLineEdit>
#include <QPushButton>
#include <QTimer>

#include <cmath>

#include "devicelink/commands.h"
#include "devicelink/desktop.h"
#include "devicelink/link.h"
#include "devicelink/tick_clock.h"
#include "devicelink/twips.h"
#include "update/form2.h"

namespace update {

QString package_path;

namespace {

Form1* the_main_window = nullptr;
bool update_writing = false;

// Far beyond any flash address; keeps absurd numbers from overflowing.
constexpr std::int64_t address_clamp = std::int64_t{1} << 40;

bool blank(QChar c)
{
    return c == u' ' || c == u'\t';
}

}  // namespace

Form1* main_window()
{
    return the_main_window;
}

bool updating()
{
    return update_writing;
}

std::int64_t parse_address(const QString& field)
{
    qsizetype i = 0;
    while (i < field.size() && blank(field[i])) {
        ++i;
    }
    if (i + 1 < field.size() && field[i] == u'&' && (field[i + 1] == u'H' || field[i + 1] == u'h')) {
        // Unsigned: "&H8000" is 32768, an address, not a negative 16-bit number.
        std::int64_t value = 0;
        for (i += 2; i < field.size(); ++i) {
            const char16_t c = field[i].unicode();
            const int d = c >= u'0' && c <= u'9'   ? c - u'0'
                          : c >= u'A' && c <= u'F' ? c - u'A' + 10
                          : c >= u'a' && c <= u'f' ? c - u'a' + 10
                                                   : -1;
            if (d < 0) {
                break;
            }
            value = std::min(value * 16 + d, address_clamp);
        }
        return value;
    }
    QString number;
    if (i < field.size() && (field[i] == u'+' || field[i] == u'-')) {
        number += field[i++];
    }
    bool digits = false;
    bool point = false;
    for (; i < field.size(); ++i) {
        const QChar c = field[i];
        if (c >= u'0' && c <= u'9') {
            number += c;
            digits = true;
        } else if (c == u'.' && !point) {
            number += c;
            point = true;
        } else {
            break;
        }
    }
    if (!digits) {
        return 0;
    }
    const double value = std::nearbyint(number.toDouble());
    return static_cast<std::int64_t>(std::clamp(value, -double(address_clamp), double(address_clamp)));
}

QStringList package_fields(const QString& package_text)
{
    QString text = package_text;
    text.remove(u'\r');  // packages come with CR LF line ends
    QStringList fields;
    qsizetype i = 0;
    const qsizetype n = text.size();
    for (;;) {
        // Blanks and empty lines before a field.
        while (i < n && (blank(text[i]) || text[i] == u'\n')) {
            ++i;
        }
        if (i >= n) {
            return fields;
        }
        QString field;
        if (text[i] == u'"') {
            const qsizetype close = text.indexOf(u'"', i + 1);
            const qsizetype end = close < 0 ? n : close;
            field = text.mid(i + 1, end - i - 1);
            i = close < 0 ? n : close + 1;
            while (i < n && text[i] != u',' && text[i] != u'\n') {
                ++i;
            }
        } else {
            const qsizetype start = i;
            while (i < n && text[i] != u',' && text[i] != u'\n') {
                ++i;
            }
            field = text.mid(start, i - start);
            while (!field.isEmpty() && blank(field.back())) {
                field.chop(1);
            }
        }
        fields.push_back(field);
        if (i < n) {
            ++i;  // the comma or the line end
        }
    }
}

Form1::Form1(QWidget* parent) : QWidget(parent)
{
    using desktop::twips_rect;
    the_main_window = this;
    setWindowTitle(QStringLiteral("ZOVA-3 アップデート　ツール　Ver1.21"));
    setFixedSize(desktop::twips_size(8415, 3240));

    Text1 = new QLineEdit(this);
    Text1->setGeometry(twips_rect(120, 240, 8175, 375));
    Text2 = new QLineEdit(this);
    Text2->setGeometry(twips_rect(120, 960, 8175, 375));
    Picture1 = new QFrame(this);
    Picture1->setGeometry(twips_rect(120, 1680, 5000, 500));
    Picture1->setFrameShape(QFrame::Box);
    Shape1 = new QFrame(Picture1);
    Shape1->setGeometry(0, 0, 0, Picture1->height());
    Shape1->setAutoFillBackground(true);
    QPalette bar = Shape1->palette();
    bar.setColor(QPalette::Window, QColor(0, 0, 255));
    Shape1->setPalette(bar);
    Command21 = desktop::twips_button(this, QStringLiteral("アップデート"), 1680, 2520, 2895, 375);
    Command1 = desktop::twips_button(this, QStringLiteral("終了"), 6840, 2520, 1095, 375);

    QObject::connect(Command21, &QPushButton::clicked, this, [this] { run_update(); });
    QObject::connect(Command1, &QPushButton::clicked, this, [] { desktop::ending().end_now(); });

    Timer1 = devicelink::start_tick_timer(this);

    recognise();
}

Form1::~Form1()
{
    if (the_main_window == this) {
        the_main_window = nullptr;
    }
}

flash::screen Form1::screen() const
{
    return {Text1, Text2, Shape1, flash::program::update};
}

void Form1::recognise()
{
    if (!devicelink::unit_answers()) {
        Text1->setText(QStringLiteral("ZOVA-3を認識できません。"));
        Command21->setEnabled(false);
        Text2->setText(QStringLiteral("ZOVA-3の電源を入れて本ソフトを再起動してください。"));
    } else {
        Text1->setText(QStringLiteral("ZOVA-3を認識しました。"));
        Text2->setText(QStringLiteral("正常接続されています。"));
    }
}

void Form1::set_updating(bool writing)
{
    update_writing = writing;
    Command21->setEnabled(!writing);
    Command1->setEnabled(!writing);
    if (Form2* dialog = form2()) {
        dialog->set_update_writing(writing);
    }
}

void Form1::run_update()
{
    if (update_writing) {
        return;
    }
    desktop::file_request request;
    request.title = QStringLiteral("ファイルを開く");
    request.start_folder = QCoreApplication::applicationDirPath();
    request.initial_name = QStringLiteral("*.z3b");
    request.filter = QStringLiteral("*.z3b");
    package_path = desktop::dialogs().open_file(request);
    if (package_path.isEmpty()) {
        return;
    }
    Text2->setText(QStringLiteral("ZOVA-3の電源を切らないでください。"));

    QFile package(package_path);
    QByteArray content;
    if (QFileInfo(package_path).isFile() && package.open(QIODevice::ReadOnly)) {
        content = package.readAll();
    }
    if (!package.isOpen() || package.error() != QFileDevice::NoError) {
        Text1->setText(flash::open_error_text());
        return;
    }
    package.close();

    set_updating(true);
    const bool ok = run_entries(QString::fromUtf8(content));
    Text1->setText(ok ? QStringLiteral("アップデート　正常終了") : QStringLiteral("書き込みエラーが発生しました。"));
    set_updating(false);
}

bool Form1::run_entries(const QString& text)
{
    const QStringList fields = package_fields(text);
    // An incomplete last entry is read but never run.
    for (qsizetype i = 0; i + 3 <= fields.size(); i += 3) {
        if (!run_entry(fields[i], fields[i + 1], fields[i + 2])) {
            return false;
        }
    }
    return true;
}

bool Form1::run_entry(const QString& kind, const QString& name, const QString& address)
{
    const std::int64_t value = parse_address(address);
    flash::flash_address = static_cast<std::int32_t>(static_cast<std::uint32_t>(value & 0xFFFFFFFF));
    // The images lie next to their package; a backslash separates folders.
    QString file_name = name;
    file_name.replace(u'\\', u'/');
    const QString path = QFileInfo(package_path).absoluteDir().filePath(file_name);

    const flash::screen s = screen();
    if (kind == QLatin1String("download")) {
        if (value < 0 || value > 0xFFFFFF) {
            Text1->setText(flash::open_error_text());
            return false;
        }
        return flash::download_f(s, path);
    }
    if (kind == QLatin1String("download_hex") || kind == QLatin1String("download_hex_prog")) {
        return flash::hex_f(s, path);
    }
    if (kind == QLatin1String("download_hex_prog_write")) {
        const bool ok = flash::hex_f(s, path);
        if (ok) {
            show_form2();
        }
        return ok;
    }
    if (kind == QLatin1String("download_hex_short")) {
        return flash::hex_f_short(s, path);
    }
    return true;  // a kind this program does not know writes nothing
}

void Form1::closeEvent(QCloseEvent* event)
{
    devicelink::close_handles();
    event->accept();
    desktop::ending().end_now();
}

}  // namespace update
