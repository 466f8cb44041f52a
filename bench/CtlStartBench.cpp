// lumiwandctl's start: `lumiwandctl info` against /bin/true, started in turns in one run on a fresh HOME, and
// lumiwandctl-commands (which links every library the commands use) running the same command. Goal: info in at
// most 15 ms.

#include "BenchSupport.h"

#include <QTemporaryDir>
#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

extern char** environ;

namespace {

// One start of the program with its output thrown away, in milliseconds from the spawn to its end.
double startMs(const char* program, const char* argument)
{
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, "/dev/null", O_WRONLY, 0);
    char* const argv[] = {const_cast<char*>(program), const_cast<char*>(argument), nullptr};
    QElapsedTimer timer;
    timer.start();
    pid_t child = 0;
    if (posix_spawn(&child, program, &actions, nullptr, argv, environ) != 0) {
        std::fprintf(stderr, "cannot start %s\n", program);
        std::exit(1);
    }
    int status = 0;
    waitpid(child, &status, 0);
    const double ms = double(timer.nsecsElapsed()) / 1e6;
    posix_spawn_file_actions_destroy(&actions);
    return ms;
}

} // namespace

int main()
{
    QTemporaryDir home;
    setenv("HOME", qPrintable(home.path()), 1);
    setenv("XDG_CONFIG_HOME", qPrintable(home.path() + "/.config"), 1);
    unsetenv("XDG_DOCUMENTS_DIR");
    const char* const tool = LUMIWANDCTL;
    const char* const commands = LUMIWANDCTL_COMMANDS;
    startMs(tool, "info"); // the workspace is made on the first start

    constexpr int kRounds = 60;
    std::vector<double> trueTimes, toolTimes, commandsTimes;
    for (int round = 0; round < kRounds; ++round) {
        trueTimes.push_back(startMs("/bin/true", "info"));
        toolTimes.push_back(startMs(tool, "info"));
        commandsTimes.push_back(startMs(commands, "info"));
    }
    const double trueMs = median(trueTimes), toolMs = median(toolTimes), commandsMs = median(commandsTimes);
    std::printf("/bin/true: median %.1f ms\n", trueMs);
    std::printf("lumiwandctl info: median %.1f ms (goal <= 15), %.2f x /bin/true\n", toolMs, toolMs / trueMs);
    std::printf("lumiwandctl-commands info (every library loaded): median %.1f ms, lumiwandctl takes %.2f x that\n",
                commandsMs, toolMs / commandsMs);
    return 0;
}
