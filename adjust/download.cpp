#include <QLineEdit>
#include <QPushButton>

#include <array>

#include "adjust/busy.h"
#include "adjust/form1.h"
#include "adjust/windows.h"
#include "devicelink/desktop.h"
#include "flash/flash.h"

namespace adjust {

namespace {

// A file chosen by the user into the unit's flash at flash_address; the
// verification line replaces the status line.
void download(Form1& form)
{
    desktop::file_request request;
    request.title = QStringLiteral("ファイルを開く");
    file_path = desktop::dialogs().open_file(request);
    if (file_path.isEmpty()) {
        return;
    }
    flash::download_f({form.Text1, form.Text1, nullptr, flash::program::adjust}, file_path);
}

}  // namespace

void command_file_load()
{
    Form1* form = main_window();
    if (form == nullptr || download_running()) {
        return;
    }
    flash::flash_address = 0xE8000;

    // The download pumps events after every frame: no second download and no
    // other window's command may start meanwhile.
    const std::array<QPushButton*, 4> buttons{form->Command1, form->Command2, form->Command3, form->Command10};
    std::array<bool, 4> were_enabled{};
    for (std::size_t i = 0; i < buttons.size(); ++i) {
        were_enabled[i] = buttons[i]->isEnabled();
        buttons[i]->setEnabled(false);
    }
    set_download_running(true);
    download(*form);
    set_download_running(false);
    for (std::size_t i = 0; i < buttons.size(); ++i) {
        buttons[i]->setEnabled(were_enabled[i]);
    }
}

}  // namespace adjust
