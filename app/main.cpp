#include "app/ProgramArguments.h"
#include "devicelink/HidPlatformChoice.h"
#include "devicelink/Transport.h"
#include "devicelink/simulated/SimulatedHidPlatform.h"
#include "imaging/Fonts.h"
#include "shell/AppState.h"
#include "shell/windows/Windows.h"
#include "shell/windows/QtPrompter.h"
#include "store/Edition.h"

#include <QApplication>
#include <QIcon>
#include <cstdio>

namespace {

QStringList commandLine(int argc, char* argv[])
{
    QStringList arguments;
    for (int i = 0; i < argc; ++i)
        arguments << QString::fromLocal8Bit(argv[i]);
    return arguments;
}

// Prints the answer to a command line that ends the run before it starts; returns the exit status.
int answer(const app::ProgramCommandLine& line)
{
    const bool refused = line.action == app::ProgramCommandLine::Action::Refuse;
    std::fputs(qPrintable(line.text + (refused ? QStringLiteral("\n") : QString())), refused ? stderr : stdout);
    return refused ? app::kExitUsage : 0;
}

} // namespace

int main(int argc, char* argv[])
{
    // --help and --version need no display, so they are answered before the windowing system is opened.
    if (const std::optional<app::ProgramCommandLine> information = app::informationRequest(commandLine(argc, argv)))
        return answer(*information);
    QApplication application(argc, argv);
    const app::ProgramCommandLine line = app::parseProgramArguments(QApplication::arguments());
    if (line.action != app::ProgramCommandLine::Action::Run)
        return answer(line);
    // The program ends when the start-up window closes, not when the last visible window does: the main
    // window's close handler asks for the end and the start-up window closes at its next tick.
    QApplication::setQuitOnLastWindowClosed(false);
    shell::AppState state;
    state.invokedPath = store::invokedPath(QString::fromLocal8Bit(argv[0]));
    // Every window's icon comes from the icon theme the package installs, the built-in picture standing in when
    // the theme has none; the desktop groups the windows of every mode under their edition's menu entry.
    QApplication::setWindowIcon(
        QIcon::fromTheme(QStringLiteral("lumiwand"), QIcon(QStringLiteral(":/packaging/lumiwand.svg"))));
    QGuiApplication::setDesktopFileName(
        QStringLiteral("org.lumiwand.Lumiwand%1").arg(store::deriveEdition(state.invokedPath).ledCount));
    imaging::installFontSubstitutions();

    shell::QtPrompter prompter;
    // The sticks: the USB devices, or the simulated stick that LUMIWAND_SIMULATED_DEVICE describes (a default one
    // when the description cannot be understood, which is said on standard error).
    devicelink::QtEventPump pump;
    devicelink::PlatformChoice choice = devicelink::createHidPlatform(pump);
    std::unique_ptr<devicelink::HidPlatform> platform = std::move(choice.platform);
    if (!platform) {
        qWarning("%s", qPrintable(choice.refusal()));
        platform = std::make_unique<devicelink::SimulatedHidPlatform>(pump);
    }
    // The mass production window polls device discovery.
    devicelink::Transport discovery(*platform, pump);
    shell::Windows windows(state, prompter, *platform, pump, [&discovery] { return discovery.discoverDevices(); });
    windows.startFiles = line.files;
    QObject::connect(&windows.startupWindow, &shell::StartupWindow::closed, &application, &QCoreApplication::quit);

    windows.startupWindow.show();
    return QApplication::exec();
}
