// vsadjust: adjustment tool for a ZOVA-3 unit.
#include <QApplication>

#include <cstdio>
#include <cstdlib>

#include "adjust/form1.h"
#include "devicelink/link.h"
#include "devicelink/linux_platform.h"
#include "devicelink/startup.h"

int main(int argc, char** argv)
{
    if (!desktop::display_available("vsadjust")) {
        return 1;
    }
    QApplication app(argc, argv);
    devicelink::linux_platform platform;
    devicelink::set_platform(&platform);

    adjust::Form1 form;
    form.show();
    return app.exec();
}
