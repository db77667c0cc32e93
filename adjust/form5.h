// vsadjust's capture window: freezes the unit's picture, reads one frame out
// line by line, shows it and saves it as a BMP file.
#pragma once

#include <QImage>
#include <QWidget>

#include <cstdint>
#include <vector>

class QPlainTextEdit;
class QPushButton;

namespace adjust {

// Capture state, one copy for the program's life.
extern std::int16_t freeze_state;    // last freeze state sent to the unit, 1 = frozen
extern std::int16_t stop_request;    // 1: end the read-out after the current line
extern std::int32_t transfer_width;  // pixels per line on the wire, a multiple of 64
extern std::int32_t picture_width;   // pixels per line kept, a multiple of 4
extern std::int32_t picture_height;  // lines
// The picture of the last accepted read-out: blue, green, red per pixel, rows
// top down, no padding. A rejected read-out changes the sizes above but not
// the store, so the store keeps the size it was read at.
extern std::vector<std::uint8_t> pixel_store;
extern std::int32_t store_width;
extern std::int32_t store_height;

// The picture box: keeps what was drawn into it and shows it scaled to its
// own size, so covering the window loses nothing.
class picture_box : public QWidget {
    Q_OBJECT
public:
    explicit picture_box(QWidget* parent = nullptr);
    // A fresh surface of width × height picture pixels in the background colour.
    void clear_picture(int width, int height);
    // Repaints the part of the box that shows picture line y.
    void line_drawn(int y);

    QImage image;

protected:
    void paintEvent(QPaintEvent* event) override;
};

class Form5 : public QWidget {
    Q_OBJECT
public:
    explicit Form5(QWidget* parent = nullptr);

    picture_box* Picture1;
    QPushButton* Command1;
    QPushButton* Command2;
    QPushButton* Command3;
    QPushButton* Command4;
    QPushButton* Command5;
    QPlainTextEdit* Text1;

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    void fpga_check();
    void freeze_switch();
    void read_out();
    void read_lines(std::int32_t active_width);
    void place_picture();
    void save();
    void update_buttons();

    bool ready = false;              // the unit is set up for capture
    bool check_pending = false;      // loaded during a download; checks when it ends
    bool attempted = false;          // a read-out ran since the load
    bool reading = false;
    bool close_after_reading = false;
};

// The capture window while it is loaded, else nullptr.
Form5* form5();

}  // namespace adjust
