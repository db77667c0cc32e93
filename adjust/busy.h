// While the command-file load streams into the unit's flash, no other window
// of vsadjust may send: windows listen here and disable their sending controls.
#pragma once

#include <functional>

class QObject;

namespace adjust {

bool download_running();
void set_download_running(bool running);
// Tells listener of every change for as long as owner (a window) exists.
void on_download_running(QObject* owner, std::function<void(bool)> listener);

}  // namespace adjust
