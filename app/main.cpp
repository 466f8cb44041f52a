#include "devicelink/HidPlatformChoice.h"
#include "devicelink/Transport.h"
#include "devicelink/simulated/SimulatedHidPlatform.h"
#include "imaging/Fonts.h"
#include "shell/AppState.h"
#include "shell/Forms.h"
#include "shell/QtPrompter.h"
#include "store/Edition.h"

#include <QApplication>
#include <QIcon>

int main(int argc, char* argv[])
{
    QApplication application(argc, argv);
    // The program ends when the start-up window closes, not when the last visible window does: the main
    // window's close handler asks for the end and the start-up window closes at its next tick.
    QApplication::setQuitOnLastWindowClosed(false);
    QApplication::setWindowIcon(QIcon(QStringLiteral(":/icons/lumiwand.xpm")));
    imaging::installFontSubstitutions();

    shell::AppState state;
    state.invokedPath = store::invokedPath(QString::fromLocal8Bit(argv[0]));
    shell::QtPrompter prompter;
    // The sticks: the USB devices, or the simulated stick that LUMIWAND_SIMULATED_DEVICE describes (a default one
    // when the description cannot be understood, which is said on standard error).
    devicelink::QtEventPump pump;
    QString platformError;
    std::unique_ptr<devicelink::HidPlatform> platform = devicelink::createHidPlatform(pump, &platformError);
    if (!platform) {
        qWarning("%s", qPrintable(platformError));
        platform = std::make_unique<devicelink::SimulatedHidPlatform>(pump);
    }
    // The mass production window polls device discovery.
    devicelink::Transport discovery(*platform, pump);
    shell::Forms forms(state, prompter, *platform, pump, [&discovery] { return discovery.discoverDevices(); });
    QObject::connect(&forms.form12, &shell::TForm12::closed, &application, &QCoreApplication::quit);

    forms.form12.show();
    return QApplication::exec();
}
