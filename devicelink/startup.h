#pragma once

#include <QApplication>

#include "devicelink/link.h"
#include "devicelink/linux_platform.h"

namespace desktop {

// Whether a window can be shown; when not, says so in one line on stderr.
bool display_available(const char* program);

// Starts a program whose start-up form is Window, talking to the unit through
// the system's HID interfaces.
template <class Window>
int run_program(int argc, char** argv, const char* program)
{
    if (!display_available(program)) {
        return 1;
    }
    QApplication app(argc, argv);
    devicelink::linux_platform platform;
    devicelink::set_platform(&platform);
    Window form;
    form.show();
    return app.exec();
}

}  // namespace desktop
