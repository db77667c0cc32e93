#include "adjust/windows.h"

namespace adjust {

void show_form5()
{
}

}  // namespace adjust
