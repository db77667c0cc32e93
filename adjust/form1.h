// vsadjust's main window: the connection check and the buttons that lead to
// the rest of the program.
#pragma once

#include <QString>
#include <QWidget>

#include <cstdint>

class QLineEdit;
class QPushButton;
class QTimer;

namespace adjust {

// 1 when the start-up check found a unit that answered, else 0.
extern std::int16_t connected;
// The file that the current file operation sends to the unit or writes
// (the command-file load, the BMP save).
extern QString file_path;

class Form1 : public QWidget {
    Q_OBJECT
public:
    explicit Form1(QWidget* parent = nullptr);
    ~Form1() override;

    // The connection check, run once when the window loads.
    void connect();

    QLineEdit* Text1;
    QPushButton* Command10;
    QPushButton* Command1;
    QPushButton* Command2;
    QPushButton* Command3;
    QTimer* Timer1;

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    void enable_buttons(bool enabled);
};

// The main window of the running program (nullptr before it loads).
Form1* main_window();

}  // namespace adjust
