#include "adjust/windows.h"

namespace adjust {

void show_form2()
{
}

}  // namespace adjust
