#include "adjust/form2.h"

#include <QFontMetrics>
#include <QGroupBox>
#include <QLabel>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QPointer>
#include <QPushButton>

#include <cmath>

#include "adjust/busy.h"
#include "adjust/windows.h"
#include "devicelink/commands.h"
#include "devicelink/desktop.h"
#include "devicelink/twips.h"

namespace adjust {

namespace {

QPointer<Form2> the_form2;

constexpr int body_width = 225;
constexpr int body_height = 579;

QColor rgb(std::uint32_t value)
{
    return QColor::fromRgb(static_cast<QRgb>(value));
}

QFont panel_font(int pixels)
{
    QFont font = desktop::japanese_font(QStringLiteral("ＭＳ Ｐゴシック"), 9);
    font.setPixelSize(pixels);
    return font;
}

// The largest face font up to the key's height that still fits its width.
QFont face_font(const QString& text, QSize size)
{
    int pixels = std::min(12, size.height() - 5);
    QFont font = panel_font(pixels);
    while (pixels > 6 && QFontMetrics(font).horizontalAdvance(text) > size.width() - 5) {
        font = panel_font(--pixels);
    }
    return font;
}

QColor surround(const remote_button& b)
{
    return b.group == remote_group::cursor ? rgb(cursor_rgb) : rgb(body_rgb);
}

void draw_triangle(QPainter& p, QRectF key, const QString& face)
{
    const double r = std::min(key.width(), key.height()) * 0.28;
    const QPointF c = key.center();
    // Pointing up; turned for the other faces.
    double turn = 0;
    if (face == QStringLiteral("▶")) {
        turn = 90;
    } else if (face == QStringLiteral("▼")) {
        turn = 180;
    } else if (face == QStringLiteral("◀")) {
        turn = 270;
    }
    p.save();
    p.translate(c);
    p.rotate(turn);
    const QPointF points[3] = {{0, -r}, {r * 0.95, r * 0.65}, {-r * 0.95, r * 0.65}};
    p.setPen(Qt::NoPen);
    p.setBrush(Qt::white);
    p.drawPolygon(points, 3);
    p.restore();
}

void draw_diagonal(QPainter& p, QRectF key, const QString& face)
{
    // Pointing up-left; turned for the other corners.
    double turn = 0;
    if (face == QStringLiteral("↗")) {
        turn = 90;
    } else if (face == QStringLiteral("↘")) {
        turn = 180;
    } else if (face == QStringLiteral("↙")) {
        turn = 270;
    }
    const double r = std::min(key.width(), key.height()) * 0.3;
    p.save();
    p.translate(key.center());
    p.rotate(turn);
    p.setPen(QPen(Qt::white, 2, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(QPointF(r * 0.7, r * 0.7), QPointF(-r * 0.45, -r * 0.45));
    const QPointF head[3] = {{-r, -r}, {-r + r * 1.0, -r + r * 0.15}, {-r + r * 0.15, -r + r * 1.0}};
    p.setPen(Qt::NoPen);
    p.setBrush(Qt::white);
    p.drawPolygon(head, 3);
    p.restore();
}

void draw_power(QPainter& p, QRectF key)
{
    const double r = std::min(key.width(), key.height()) * 0.3;
    const QPointF c = key.center();
    const QColor green(40, 210, 80);
    p.setPen(QPen(green, 3, Qt::SolidLine, Qt::RoundCap));
    p.setBrush(Qt::NoBrush);
    const QRectF ring(c.x() - r, c.y() - r + 1, 2 * r, 2 * r);
    // Open at the top, where the stroke stands.
    p.drawArc(ring, 125 * 16, -250 * 16);
    p.drawLine(QPointF(c.x(), c.y() - r - 1), QPointF(c.x(), c.y() + 1));
}

}  // namespace

QPixmap remote_body_picture()
{
    QPixmap picture(body_width, body_height);
    const QColor body = rgb(body_rgb);
    picture.fill(body.darker(150));
    QPainter p(&picture);
    p.setRenderHint(QPainter::Antialiasing);
    // Flat, so that the group boxes and the keys' corners, painted in the
    // body colour, sit on it without seams.
    const QRectF shell(1.5, 1.5, body_width - 3, body_height - 3);
    p.setPen(QPen(body.darker(170), 2));
    p.setBrush(body);
    p.drawRoundedRect(shell, 18, 18);
    p.setPen(QPen(body.lighter(125), 1));
    p.setBrush(Qt::NoBrush);
    p.drawRoundedRect(shell.adjusted(2, 2, -2, -2), 16, 16);
    // The pad the cursor keys sit on.
    p.setPen(QPen(rgb(cursor_rgb).darker(140), 1));
    p.setBrush(rgb(cursor_rgb));
    p.drawRoundedRect(desktop::twips_rect(40, 2040, 3260, 2055).adjusted(-2, -2, 2, 2), 8, 8);
    // The maker's mark in the free space above the headphone keys.
    QFont mark = panel_font(18);
    mark.setBold(true);
    mark.setItalic(true);
    p.setFont(mark);
    p.setPen(body.lighter(160));
    p.drawText(QRect(0, 412, body_width, 40), Qt::AlignCenter, QStringLiteral("ZOVA-3"));
    return picture;
}

QPixmap remote_key_picture(const remote_button& b)
{
    const QSize size = desktop::twips_size(b.width, b.height);
    QPixmap picture(size);
    picture.fill(surround(b));
    QPainter p(&picture);
    p.setRenderHint(QPainter::Antialiasing);
    const QRectF key = QRectF(QPointF(0, 0), QSizeF(size)).adjusted(1, 1, -1, -1);
    QLinearGradient shade(0, 0, 0, size.height());
    shade.setColorAt(0, QColor(92, 92, 96));
    shade.setColorAt(1, QColor(36, 36, 40));
    p.setPen(QPen(QColor(16, 16, 16), 1));
    p.setBrush(shade);
    const double corner = std::min(size.width(), size.height()) * 0.3;
    p.drawRoundedRect(key, corner, corner);

    const QString face = QString::fromUtf8(b.face);
    switch (b.kind) {
    case remote_face::power:
        draw_power(p, key);
        break;
    case remote_face::triangle:
        draw_triangle(p, key, face);
        break;
    case remote_face::diagonal:
        draw_diagonal(p, key, face);
        break;
    case remote_face::text:
        p.setFont(face_font(face, size));
        p.setPen(Qt::white);
        p.drawText(key, Qt::AlignCenter, face);
        break;
    }
    return picture;
}

void remote_key_clicked(const remote_button& b)
{
    if (b.code == power_key) {
        desktop::ending().end_now();
        return;
    }
    devicelink::build::remote_key(static_cast<std::uint8_t>(b.code));
    devicelink::exchange();
}

Form2* form2()
{
    return the_form2.data();
}

Form2::Form2(QWidget* parent) : QWidget(parent)
{
    using desktop::twips_rect;
    setAttribute(Qt::WA_DeleteOnClose);
    setObjectName(QStringLiteral("Form2"));
    setWindowTitle(QStringLiteral("ZOVA-3　リモコン"));
    setFixedSize(desktop::twips_size(3360, 8685));
    setFont(panel_font(12));

    QPalette background = palette();
    background.setBrush(QPalette::Window, QBrush(remote_body_picture()));
    setPalette(background);
    setAutoFillBackground(true);

    auto group = [this](const QString& name, QRect r, QColor colour) {
        auto* g = new QGroupBox(this);
        g->setObjectName(name);
        g->setGeometry(r);
        QPalette pal = g->palette();
        pal.setColor(QPalette::Window, colour);
        pal.setColor(QPalette::WindowText, Qt::white);
        g->setPalette(pal);
        g->setAutoFillBackground(true);
        return g;
    };
    Frame1 = group(QStringLiteral("Frame1"), twips_rect(0, 960, 3350, 975), rgb(body_rgb));
    Frame1->setTitle(QStringLiteral("入力切替"));
    Frame2 = group(QStringLiteral("Frame2"), twips_rect(40, 2040, 3260, 2055), rgb(cursor_rgb));
    Frame3 = group(QStringLiteral("Frame3"), twips_rect(120, 7560, 2415, 1095), rgb(body_rgb));

    auto label = [](QWidget* parent, const QString& name, const QString& caption, QRect r) {
        auto* l = new QLabel(caption, parent);
        l->setObjectName(name);
        l->setGeometry(r);
        QPalette pal = l->palette();
        pal.setColor(QPalette::WindowText, Qt::white);
        l->setPalette(pal);
        l->setAutoFillBackground(false);
        return l;
    };
    Label1 = label(this, QStringLiteral("Label1"), QStringLiteral("サイズ"), twips_rect(1400, 4640, 735, 255));
    Label2 = label(Frame3, QStringLiteral("Label2"), QStringLiteral("ヘッドホン"), twips_rect(240, 720, 1095, 375));
    Label3 = label(Frame3, QStringLiteral("Label3"), QStringLiteral("音量"), twips_rect(1680, 550, 375, 255));
    Label4 = label(this, QStringLiteral("Label4"), QStringLiteral("ミキサ"), twips_rect(2680, 8110, 615, 255));

    for (std::size_t i = 0; i < remote_buttons.size(); ++i) {
        const remote_button& b = remote_buttons[i];
        QWidget* parent = this;
        if (b.group == remote_group::input) {
            parent = Frame1;
        } else if (b.group == remote_group::cursor) {
            parent = Frame2;
        } else if (b.group == remote_group::headphone) {
            parent = Frame3;
        }
        auto* button = new QPushButton(parent);
        button->setObjectName(QStringLiteral("Command%1").arg(b.number));
        button->setGeometry(twips_rect(b.left, b.top, b.width, b.height));
        const QPixmap face = remote_key_picture(b);
        button->setIcon(QIcon(face));
        button->setIconSize(face.size());
        button->setAccessibleName(QString::fromUtf8(b.face));
        // The picture is the whole key; a press nudges it as a real key gives way.
        button->setStyleSheet(QStringLiteral("QPushButton { border: none; padding: 0px; }"
                                             "QPushButton:pressed { padding-left: 2px; padding-top: 2px; }"));
        QObject::connect(button, &QPushButton::clicked, this, [&b] { remote_key_clicked(b); });
        buttons[i] = button;
    }

    enable_sending(!download_running());
    on_download_running(this, [this](bool running) { enable_sending(!running); });
}

void Form2::enable_sending(bool enabled)
{
    for (std::size_t i = 0; i < remote_buttons.size(); ++i) {
        if (remote_buttons[i].code != power_key) {
            buttons[i]->setEnabled(enabled);
        }
    }
}

void show_form2()
{
    if (the_form2 == nullptr) {
        the_form2 = new Form2;
    }
    the_form2->show();
    the_form2->raise();
    the_form2->activateWindow();
}

}  // namespace adjust
