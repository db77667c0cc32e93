// vsupdate's microcontroller write dialog, shown once the microcontroller's
// program has been written.
#pragma once

#include <QWidget>

class QPlainTextEdit;
class QPushButton;

namespace update {

class Form2 : public QWidget {
    Q_OBJECT
public:
    explicit Form2(QWidget* parent = nullptr);

    // "マイコン　書き込み": starts the unit's microcontroller write.
    void write_mcu();
    // While an update is writing, the microcontroller write must wait.
    void set_update_writing(bool writing);

    QPlainTextEdit* Text1;
    QPushButton* Command1;
    QPushButton* Command3;
    QPushButton* Command2;

private:
    bool written_ = false;
};

// Shows the dialog, loading it first when it is not loaded.
void show_form2();
// The loaded dialog, or nullptr.
Form2* form2();

}  // namespace update
