#include "shell/windows/StartupWindow.h"

#include "shell/AppState.h"
#include "shell/Installation.h"
#include "messages/MessageCatalogue.h"
#include "messages/MessageIds.h"
#include "store/Settings.h"
#include "windowkit/RunCommand.h"

#include <QCoreApplication>
#include <QEventLoop>
#include <QTimer>

namespace shell {
namespace {

// Waits while the window keeps painting (user input waits until the run is over).
void waitPumping(int milliseconds)
{
    QEventLoop loop;
    QTimer::singleShot(milliseconds, &loop, &QEventLoop::quit);
    loop.exec(QEventLoop::ExcludeUserInputEvents);
}

} // namespace

StartupWindow::StartupWindow(AppState& state, messages::Prompter& prompter)
    : windowkit::Window(nullptr, Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint),
      Timer1(new QTimer(this)),
      state_(state),
      prompter_(prompter),
      startMode_(installerModeFor(state.invokedPath))
{
    setupUi(this);
    Timer1->setInterval(800);
    connect(Timer1, &QTimer::timeout, this, &StartupWindow::Timer1Timer);
}

void StartupWindow::textsApplied()
{
    if (startMode_ == StartMode::Uninstall)
        Label1->setText(messages::lookupMessage(msg::UninstallTitle) + QStringLiteral("..."));
    else if (startMode_ == StartMode::Setup)
        Label1->setText(messages::lookupMessage(msg::InstallingSplash));
    else
        Label1->setText(messages::lookupMessage(msg::StartingSplash));
}

void StartupWindow::FormShow()
{
    windowkit::centerOnScreen(*this);
    if (!started_ && !Timer1->isActive())
        Timer1->start();
}

void StartupWindow::Timer1Timer()
{
    if (startMode_ == StartMode::Uninstall || startMode_ == StartMode::Setup) {
        Timer1->stop();
        runInstaller(startMode_);
        close();
        return;
    }
    if (!started_)
        startRunMode();
    if (endRequested_) {
        Timer1->stop();
        close();
    }
}

void StartupWindow::startRunMode()
{
    const int startWithWizard = store::readStartWithWizard(state_.workspace.settingsFile);
    hide();
    started_ = true;
    Timer1->setInterval(1000);
    state_.easyMode = false;
    state_.simplifiedMode = false;

    startMode_ = startModeFor(state_.invokedPath);
    const RunModeFlags flags = runModeFlagsFor(startMode_);
    state_.simplifiedMode = flags.simplifiedMode;
    state_.easyMode = flags.easyMode;
    emit runModeSet();
    emit modeWindowRequested(startMode_, startWithWizard);
}

void StartupWindow::runInstaller(StartMode mode)
{
    InstallRun run;
    run.invokedPath = state_.invokedPath;
    run.runningExecutable = QCoreApplication::applicationFilePath();
    run.ledCount = state_.edition.ledCount;
    run.rootFolder = state_.workspace.rootFolder;
    run.folders = InstallFolders::forCurrentUser();
    run.prompter = &prompter_;
    run.wait = waitPumping;
    windowkit::runCommand(prompter_, [&] {
        if (mode == StartMode::Uninstall)
            runUninstall(run);
        else
            runInstall(run);
    });
}

} // namespace shell
