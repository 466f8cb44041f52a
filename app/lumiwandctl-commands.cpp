// lumiwandctl-commands: every command of lumiwandctl, which starts it for the command lines it does not answer
// itself. Started directly it behaves as lumiwandctl.

#include "app/ctl/Tool.h"
#include "imaging/Fonts.h"

#include <QGuiApplication>

namespace {

// A command-line tool needs no display: text is drawn offscreen unless the caller chose a platform.
std::unique_ptr<QCoreApplication> drawingApplication(int& argc, char* argv[])
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    auto application = std::make_unique<QGuiApplication>(argc, argv);
    imaging::installFontSubstitutions();
    return application;
}

} // namespace

int main(int argc, char* argv[])
{
    return ctl::runTool(argc, argv, {nullptr, drawingApplication});
}
