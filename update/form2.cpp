#include "update/form2.h"

#include <QPlainTextEdit>
#include <QPointer>
#include <QPushButton>

#include "devicelink/commands.h"
#include "devicelink/desktop.h"
#include "devicelink/link.h"
#include "devicelink/twips.h"
#include "update/form1.h"

namespace update {

namespace {

QPointer<Form2> the_dialog;

}  // namespace

Form2::Form2(QWidget* parent) : QWidget(parent)
{
    using desktop::twips_rect;
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowTitle(QStringLiteral("ZOVA-3 CPU書き込み"));
    setFixedSize(desktop::twips_size(6195, 1635));

    Text1 = new QPlainTextEdit(this);
    Text1->setGeometry(twips_rect(120, 120, 5895, 735));
    Text1->setPlainText(QStringLiteral("マイコン書き込みボタンを押してください。\n"
                                       "マイコン書き込み中はZOVA-3の電源を切らないでください\n"
                                       "。\n"));
    Command1 = desktop::twips_button(this, QStringLiteral("マイコン　書き込み"), 120, 960, 1695, 495);
    Command3 = desktop::twips_button(this, QStringLiteral("終了"), 2160, 960, 1695, 495);
    Command2 = desktop::twips_button(this, QStringLiteral("キャンセル"), 4320, 960, 1695, 495);

    QObject::connect(Command1, &QPushButton::clicked, this, [this] { write_mcu(); });
    QObject::connect(Command3, &QPushButton::clicked, this, [] { desktop::ending().end_now(); });
    QObject::connect(Command2, &QPushButton::clicked, this, [this] {
        // A running update enables the button itself when it ends.
        if (Form1* main = main_window(); main != nullptr && !updating()) {
            main->Command21->setEnabled(true);
        }
        hide();
    });

    if (Form1* main = main_window()) {
        main->Command21->setEnabled(false);
    }
    set_update_writing(updating());
}

void Form2::set_update_writing(bool writing)
{
    // Between write_start and the last data frame the unit takes every frame
    // as data: the microcontroller write waits for the update to end.
    Command1->setEnabled(!writing && !written_);
}

void Form2::write_mcu()
{
    Text1->setPlainText(QStringLiteral("ZOVA-3のLEDが点滅終了するまでお待ちください。\n"));
    Text1->setPlainText(Text1->toPlainText() + QStringLiteral("点滅終了後、本ソフトを終了してください。"));
    written_ = true;
    Command2->setEnabled(false);
    Command1->setEnabled(false);
    // Bytes 2 to 7 go out as the previous command left them.
    devicelink::build::mcu_write();
    devicelink::write_report(devicelink::command_frame);
}

void show_form2()
{
    if (the_dialog.isNull()) {
        the_dialog = new Form2;
    }
    if (the_dialog->isVisible()) {
        the_dialog->raise();
    }
    the_dialog->show();
}

Form2* form2()
{
    return the_dialog.data();
}

}  // namespace update
