#include "adjust/windows.h"

namespace adjust {

void command_file_load()
{
}

}  // namespace adjust
