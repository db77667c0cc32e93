// While the command-file load streams into the unit's flash, no other window
// of vsadjust may send: windows listen here and disable their sending controls.
#pragma once

#include <functional>

namespace adjust {

bool download_running();
void set_download_running(bool running);
// Returns an id for forget_download_listener.
int on_download_running(std::function<void(bool)> listener);
void forget_download_listener(int id);

}  // namespace adjust
