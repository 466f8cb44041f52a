#include "app/ctl/Command.h"

namespace ctl {

std::vector<Command>& commands()
{
    static std::vector<Command> table;
    return table;
}

std::optional<QString> takeOption(QStringList& arguments, const QString& name)
{
    const qsizetype at = arguments.indexOf(name);
    if (at < 0)
        return std::nullopt;
    const QString value = arguments.value(at + 1);
    arguments.remove(at, std::min<qsizetype>(2, arguments.size() - at));
    return value;
}

int usageOf(Context& context, const QString& usage)
{
    context.err << "usage: lumiwandctl " << usage << '\n';
    return 2;
}

} // namespace ctl
