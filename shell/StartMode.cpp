#include "shell/StartMode.h"

namespace shell {

StartMode installerModeFor(const QString& invokedPath)
{
    const QString path = invokedPath.toLower();
    if (path.contains(QLatin1String("uninstall")))
        return StartMode::Uninstall;
    if (path.contains(QLatin1String("setup")))
        return StartMode::Setup;
    return StartMode::Normal;
}

StartMode startModeFor(const QString& invokedPath)
{
    const StartMode installer = installerModeFor(invokedPath);
    if (installer != StartMode::Normal)
        return installer;
    const QString path = invokedPath.toLower();
    if (path.contains(QLatin1String("_exp")))
        return StartMode::Express;
    if (path.contains(QLatin1String("_easy")))
        return StartMode::Easy;
    if (path.contains(QLatin1String("_mptool")))
        return StartMode::MassProduction;
    return StartMode::Normal;
}

RunModeFlags runModeFlagsFor(StartMode mode)
{
    RunModeFlags flags;
    flags.simplifiedMode = mode == StartMode::Express || mode == StartMode::Easy || mode == StartMode::MassProduction;
    flags.easyMode = mode == StartMode::Easy;
    return flags;
}

} // namespace shell
