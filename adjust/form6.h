// vsadjust's timing window: fourteen timing parameters of the unit, each on a
// scroll bar that writes every change to the unit at once, and the timing data
// files that keep a whole set.
#pragma once

#include <QString>
#include <QWidget>

#include <array>
#include <cstddef>
#include <cstdint>

class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QScrollBar;

namespace adjust {

// The program's image of the unit's timing area: entry k belongs to unit
// address timing_base + k. It outlives the window.
inline constexpr std::size_t timing_table_size = 257;
extern std::array<std::uint8_t, timing_table_size> timing_table;
// The unit's address of entry 0, low byte first, as reported at the last opening.
extern std::array<std::uint8_t, 2> timing_base;

struct timing_parameter {
    const char* name;   // of its scroll bar; its text box adds "_txt"
    const char* label;  // caption of the label left of the scroll bar
    int bits;           // 12: low byte at low_entry, high byte two entries on; 8: one byte
    int low_entry;
    int group;          // 0 to 3, in the order of the window's group boxes
    int row_top;        // twips, relative to the group box
    int label_left;     // twips
    int label_width;    // twips
};

// In the order of their entries, which is also the order of refresh_timing_controls.
inline constexpr std::array<timing_parameter, 14> timing_parameters{{
    {"h2pos", "h2pos", 12, 2, 0, 360, 120, 615},
    {"v2pos", "v2pos", 12, 6, 0, 840, 120, 615},
    {"h2size", "h2size", 12, 10, 0, 1320, 120, 615},
    {"v2size", "v2size", 12, 14, 0, 1800, 120, 615},
    {"clamp_start", "clamp_start", 8, 18, 1, 240, 480, 975},
    {"clamp_width", "clamp width", 8, 20, 1, 720, 480, 975},
    {"hst", "hst", 12, 40, 2, 360, 240, 615},
    {"vst", "vst", 12, 44, 2, 840, 240, 615},
    {"hsw", "hsw", 8, 48, 2, 1320, 960, 615},
    {"vsw", "vsw", 8, 50, 2, 1800, 960, 615},
    {"ph1pos", "ph1pos", 12, 54, 3, 360, 120, 615},
    {"ph1size", "ph1size", 12, 58, 3, 1320, 120, 615},
    {"pv1pos", "pv1pos", 12, 62, 3, 840, 120, 615},
    {"pv1size", "pv1size", 12, 66, 3, 1800, 120, 615},
}};

// A timing data file holds the whole table; a load takes the first 256 bytes.
inline constexpr std::size_t timing_file_loaded_bytes = 256;
// Blocks a load sends: entries 0 to 75, four at a time.
inline constexpr int timing_load_blocks = 19;

class Form6 : public QWidget {
    Q_OBJECT
public:
    explicit Form6(QWidget* parent = nullptr);

    // The opening steps: read the unit's timing area and bring the controls in line.
    void load();

    QGroupBox* Frame1;  // "入力信号タイミング"
    QGroupBox* Frame2;  // "入力信号Clamp"
    QGroupBox* Frame3;  // "出力同期タイミング"
    QGroupBox* Frame4;  // "出力信号タイミング"

    QScrollBar* h2pos;
    QScrollBar* v2pos;
    QScrollBar* h2size;
    QScrollBar* v2size;
    QScrollBar* clamp_start;
    QScrollBar* clamp_width;
    QScrollBar* hst;
    QScrollBar* vst;
    QScrollBar* hsw;
    QScrollBar* vsw;
    QScrollBar* ph1pos;
    QScrollBar* ph1size;
    QScrollBar* pv1pos;
    QScrollBar* pv1size;

    QLineEdit* h2pos_txt;
    QLineEdit* v2pos_txt;
    QLineEdit* h2size_txt;
    QLineEdit* v2size_txt;
    QLineEdit* clamp_start_txt;
    QLineEdit* clamp_width_txt;
    QLineEdit* hst_txt;
    QLineEdit* vst_txt;
    QLineEdit* hsw_txt;
    QLineEdit* vsw_txt;
    QLineEdit* ph1pos_txt;
    QLineEdit* ph1size_txt;
    QLineEdit* pv1pos_txt;
    QLineEdit* pv1size_txt;

    QPushButton* Command1;  // "data save"
    QPushButton* Command2;  // "data load"

    // The controls of each parameter, in the order of timing_parameters.
    std::array<QScrollBar*, timing_parameters.size()> bars{};
    std::array<QLineEdit*, timing_parameters.size()> texts{};
    std::array<QLabel*, timing_parameters.size()> labels{};

    // The name field of the window's file dialog: what it held when last used.
    QString dialog_file_name;
    // Set once the window has run its closing steps; a load in progress stops.
    bool unloaded = false;

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    void enable_sending(bool enabled);
};

// One block of four table entries from entry k to the unit, at base + k.
void write_timing_block(int k);
// Lets the unit apply the block that was written last.
void apply_timing_block();
// Sets every scroll bar from the table, in the order of timing_parameters.
void refresh_timing_controls(Form6& form);
// Enters timing access, takes the base, and reads entries 0 to 79.
void read_timing_area();
// The change of one scroll bar, by the user or by the program.
void timing_changed(Form6& form, std::size_t parameter, int value);

// "data save" and "data load".
void save_timing_file(Form6& form);
void load_timing_file(Form6& form);

// The open timing window, or nullptr.
Form6* form6();

}  // namespace adjust
