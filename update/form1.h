// vsupdate's main window: recognises the unit and runs update packages.
#pragma once

#include <QString>
#include <QWidget>

#include <cstdint>
#include <optional>

#include "flash/flash.h"

class QFrame;
class QLineEdit;
class QPushButton;
class QTimer;

namespace update {

// The package being run, as the open dialog returned it.
extern QString package_path;

class Form1 : public QWidget {
    Q_OBJECT
public:
    explicit Form1(QWidget* parent = nullptr);
    ~Form1() override;

    // The start-up recognition, run once when the window loads.
    void recognise();
    // "アップデート": choose a package and write its images.
    void run_update();

    // The boxes the flash procedures write into.
    flash::screen screen() const;

    QLineEdit* Text1;
    QLineEdit* Text2;
    QFrame* Picture1;
    QFrame* Shape1;
    QPushButton* Command21;
    QPushButton* Command1;
    QTimer* Timer1;

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    // Runs the package's entries in order; false at the first that fails.
    bool run_entries(const QString& text);
    bool run_entry(const QString& kind, const QString& name, const QString& address);
    void set_updating(bool updating);
};

// The main window of the running program (nullptr before it loads).
Form1* main_window();
// Whether an update is writing now.
bool updating();

// A package's address field read as a number: blanks skipped, a decimal
// number with sign and fraction, or "&H" and hexadecimal digits (unsigned);
// the reading stops at the first character that does not continue the
// number, and no number at all is 0. Rounded to an integer.
std::int64_t parse_address(const QString& field);

// The fields of a package: separated by commas or line ends, blanks before a
// field skipped, double quotes around a field not part of it.
QStringList package_fields(const QString& text);

}  // namespace update
