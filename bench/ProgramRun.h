#pragma once

// For benchmarks that measure the program's windows in a process of their own, so that its resident memory is
// the program's alone: the benchmark runs itself with a child argument and a home folder holding the workspace,
// and the child starts the full editor's windows as the program does and prints its figures on one line.

#include "BenchSupport.h"
#include "devicelink/simulated/SimulatedHidPlatform.h"
#include "shell/AppState.h"
#include "shell/windows/Windows.h"

#include <QApplication>
#include <QFile>
#include <QProcess>
#include <QProcessEnvironment>
#include <QTabWidget>
#include <cstdio>

// Resident memory of this process in MiB (VmRSS).
inline double residentMiB()
{
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return -1;
    for (const QByteArray& line : status.readAll().split('\n'))
        if (line.startsWith("VmRSS:"))
            return line.mid(6).trimmed().split(' ').value(0).toDouble() / 1024;
    return -1;
}

// Runs this benchmark again as `arguments` with HOME at `home` (its Documents folder holds the workspace) on the
// offscreen platform; the numbers of the last line it printed, empty when it failed.
inline std::vector<double> runChild(const QStringList& arguments, const QString& home)
{
    QProcess child;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("HOME"), home);
    environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    environment.remove(QStringLiteral("XDG_CONFIG_HOME"));
    environment.remove(QStringLiteral("LUMIWAND_SIMULATED_DEVICE"));
    child.setProcessEnvironment(environment);
    child.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    child.start(QCoreApplication::applicationFilePath(), arguments);
    if (!child.waitForFinished(600000) || child.exitCode() != 0) {
        std::printf("the measuring process failed\n");
        return {};
    }
    const QList<QByteArray> lines = child.readAllStandardOutput().trimmed().split('\n');
    std::vector<double> numbers;
    for (const QByteArray& number : lines.last().split(' '))
        numbers.push_back(number.toDouble());
    return numbers;
}

// The program's windows in the full editor, the main window shown as at start-up (the splash's 800 ms left out).
struct ProgramWindows {
    SilentPrompter prompter;
    devicelink::QtEventPump pump;
    devicelink::SimulatedHidPlatform platform{pump};
    shell::AppState state;
    std::optional<shell::Windows> windows;

    // Returns the milliseconds from the windows' construction to the main window drawn.
    double start()
    {
        QElapsedTimer timer;
        timer.start();
        state.invokedPath = QStringLiteral("/opt/Lumiwand16");
        windows.emplace(state, prompter, platform, pump, [] { return false; });
        emit windows->startupWindow.modeWindowRequested(shell::StartMode::Normal, 0);
        settle();
        return double(timer.nsecsElapsed()) / 1e6;
    }

    // Runs the event loop until nothing is pending: layouts done, windows drawn.
    static void settle()
    {
        for (int pass = 0; pass < 3; ++pass)
            QApplication::processEvents();
    }

    // Switches the main window to a page and returns the milliseconds until it is drawn.
    double switchTo(QWidget* page)
    {
        QElapsedTimer timer;
        timer.start();
        windows->mainWindow.PageControl1->setCurrentWidget(page);
        settle();
        return double(timer.nsecsElapsed()) / 1e6;
    }
};
