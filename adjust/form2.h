// vsadjust's remote-control panel: a picture of the unit's hand-held remote
// whose keys send the same codes to the unit.
#pragma once

#include <QPixmap>
#include <QWidget>

#include <array>
#include <cstdint>

class QGroupBox;
class QLabel;
class QPushButton;

namespace adjust {

enum class remote_face {
    text,      // the face text, written on the key
    triangle,  // a filled triangle pointing as the face shows (▲ ▼ ◀ ▶)
    diagonal,  // an arrow to a corner (↖ ↗ ↙ ↘)
    power,     // the power symbol, in green
};

enum class remote_group { window, input, cursor, headphone };

struct remote_button {
    int number;        // CommandN
    const char* face;
    remote_face kind;
    int code;          // the key code; -1: the power key, which ends the program
    remote_group group;
    int left, top, width, height;  // twips, relative to the group or the window
};

inline constexpr int power_key = -1;

inline constexpr std::array<remote_button, 36> remote_buttons{{
    {18, "", remote_face::power, power_key, remote_group::window, 120, 120, 735, 615},
    {17, "ステータス", remote_face::text, 0x01, remote_group::window, 1440, 240, 615, 495},
    {19, "PC/AV", remote_face::text, 0x17, remote_group::window, 2520, 240, 615, 495},
    {33, "ビデオ1", remote_face::text, 0x1B, remote_group::input, 120, 240, 615, 255},
    {34, "ビデオ2", remote_face::text, 0x02, remote_group::input, 960, 240, 615, 255},
    {35, "S入力1", remote_face::text, 0x1E, remote_group::input, 1800, 240, 615, 255},
    {36, "S入力2", remote_face::text, 0x16, remote_group::input, 2640, 240, 615, 255},
    {29, "D入力1", remote_face::text, 0x1C, remote_group::input, 120, 600, 615, 255},
    {30, "D入力2", remote_face::text, 0x1D, remote_group::input, 960, 600, 615, 255},
    {31, "D入力3", remote_face::text, 0x4F, remote_group::input, 1800, 600, 615, 255},
    {32, "ゲーム", remote_face::text, 0x50, remote_group::input, 2640, 600, 615, 255},
    {20, "↖", remote_face::diagonal, 0x51, remote_group::cursor, 180, 240, 375, 375},
    {27, "↗", remote_face::diagonal, 0x52, remote_group::cursor, 2820, 240, 375, 375},
    {26, "↙", remote_face::diagonal, 0x53, remote_group::cursor, 180, 1560, 375, 375},
    {28, "↘", remote_face::diagonal, 0x54, remote_group::cursor, 2820, 1560, 375, 375},
    {21, "▲", remote_face::triangle, 0x0C, remote_group::cursor, 1380, 240, 615, 495},
    {24, "◀", remote_face::triangle, 0x08, remote_group::cursor, 540, 840, 615, 495},
    {22, "PCinP", remote_face::text, 0x03, remote_group::cursor, 1380, 840, 615, 495},
    {25, "▶", remote_face::triangle, 0x04, remote_group::cursor, 2220, 840, 615, 495},
    {23, "▼", remote_face::triangle, 0x10, remote_group::cursor, 1380, 1440, 615, 495},
    {15, "小", remote_face::text, 0x40, remote_group::window, 960, 4320, 615, 255},
    {14, "大", remote_face::text, 0x49, remote_group::window, 1800, 4320, 615, 255},
    {5, "ガイド", remote_face::text, 0x4B, remote_group::window, 120, 4920, 615, 255},
    {6, "静止", remote_face::text, 0x4C, remote_group::window, 960, 4920, 615, 255},
    {7, "PCマッチ", remote_face::text, 0x4D, remote_group::window, 1800, 4920, 615, 255},
    {8, "アスペクト", remote_face::text, 0x4E, remote_group::window, 2640, 4920, 615, 255},
    {1, "メニュー", remote_face::text, 0x05, remote_group::window, 120, 5520, 615, 495},
    {2, "▲/◀", remote_face::text, 0x06, remote_group::window, 960, 5520, 615, 495},
    {3, "▼/▶", remote_face::text, 0x07, remote_group::window, 1800, 5520, 615, 495},
    {4, "OK", remote_face::text, 0x18, remote_group::window, 2640, 5520, 615, 495},
    {9, "ラウド", remote_face::text, 0x42, remote_group::headphone, 120, 240, 615, 255},
    {10, "消音", remote_face::text, 0x43, remote_group::headphone, 840, 240, 615, 255},
    {11, "大", remote_face::text, 0x44, remote_group::headphone, 1560, 240, 615, 255},
    {13, "小", remote_face::text, 0x47, remote_group::headphone, 1560, 800, 615, 255},
    {12, "AV", remote_face::text, 0x45, remote_group::window, 2640, 7780, 615, 255},
    {16, "PC", remote_face::text, 0x48, remote_group::window, 2640, 8350, 615, 255},
}};

// The colours of the remote's body and of its cursor pad.
inline constexpr std::uint32_t body_rgb = 0x826151;    // 130, 97, 81
inline constexpr std::uint32_t cursor_rgb = 0xACAB97;  // 172, 171, 151

// The artwork, painted at run time: the remote's body (225 x 579) and the
// picture of one key at its size in pixels.
QPixmap remote_body_picture();
QPixmap remote_key_picture(const remote_button& button);

class Form2 : public QWidget {
    Q_OBJECT
public:
    explicit Form2(QWidget* parent = nullptr);

    QGroupBox* Frame1;  // "入力切替"
    QGroupBox* Frame2;  // the cursor pad
    QGroupBox* Frame3;  // the headphone keys
    QLabel* Label1;     // "サイズ"
    QLabel* Label2;     // "ヘッドホン"
    QLabel* Label3;     // "音量"
    QLabel* Label4;     // "ミキサ"

    // The key buttons, in the order of remote_buttons; each is named CommandN.
    std::array<QPushButton*, remote_buttons.size()> buttons{};

private:
    void enable_sending(bool enabled);
};

// A click on a key: its code to the unit, the power key ends the program.
void remote_key_clicked(const remote_button& button);

// The open remote panel, or nullptr.
Form2* form2();

}  // namespace adjust
