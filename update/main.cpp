// vsupdate: firmware updater for a ZOVA-3 unit.
#include <QApplication>

#include "devicelink/link.h"
#include "devicelink/linux_platform.h"
#include "devicelink/startup.h"
#include "update/form1.h"

int main(int argc, char** argv)
{
    if (!desktop::display_available("vsupdate")) {
        return 1;
    }
    QApplication app(argc, argv);
    devicelink::linux_platform platform;
    devicelink::set_platform(&platform);

    update::Form1 form;
    form.show();
    return app.exec();
}
