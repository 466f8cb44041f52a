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

    shell::AppState state;
    state.invokedPath = store::invokedPath(QString::fromLocal8Bit(argv[0]));
    shell::QtPrompter prompter;
    // The mass production window polls device discovery; it sees no device until discovery is wired in here.
    shell::Forms forms(state, prompter, [] { return false; });
    QObject::connect(&forms.form12, &shell::TForm12::closed, &application, &QCoreApplication::quit);

    forms.form12.show();
    return QApplication::exec();
}
