// vsupdate: firmware updater for a ZOVA-3 unit.
#include "devicelink/startup.h"
#include "update/form1.h"

int main(int argc, char** argv)
{
    return desktop::run_program<update::Form1>(argc, argv, "vsupdate");
}
