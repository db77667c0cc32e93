// vsadjust: adjustment tool for a ZOVA-3 unit.
#include "adjust/form1.h"
#include "devicelink/startup.h"

int main(int argc, char** argv)
{
    return desktop::run_program<adjust::Form1>(argc, argv, "vsadjust");
}
