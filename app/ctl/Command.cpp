#include "app/ctl/Command.h"

namespace ctl {

std::vector<Command>& commands()
{
    static std::vector<Command> table;
    return table;
}

} // namespace ctl
