#include "adjust/windows.h"

namespace adjust {

void show_form6()
{
}

}  // namespace adjust
