// The windows and procedures that vsadjust's main window starts.
#pragma once

namespace adjust {

// Each window exists once: created on first showing, later shown and raised.
void show_form6();  // timing adjustment
void show_form2();  // remote control
void show_form5();  // capture
// "zova cmd　load": a file chosen by the user into the unit's flash.
void command_file_load();

}  // namespace adjust
