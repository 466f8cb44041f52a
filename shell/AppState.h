#pragma once

#include "imaging/TextBanner.h"
#include "store/Edition.h"
#include "store/ProjectList.h"
#include "store/Workspace.h"

#include <QFont>
#include <QString>
#include <optional>

// The process-wide state of one run: made once at start, handed by reference to every window that reads it.
namespace shell {

struct AppState {
    QString invokedPath;             // the path the program was started by, symbolic links kept
    store::EditionParameters edition;
    store::Workspace workspace;
    // The projects of the workspace with the current one; made with the workspace and refilled by the pages.
    std::optional<store::ProjectList> projects;

    // Run-mode flags, set once at the start-up window's first tick.
    bool simplifiedMode = false;     // express, easy and mass production starts
    bool easyMode = false;           // easy start

    // Working values the timing and effect dialogs exchange with their openers.
    int currentSpeed = 0;            // speed word being edited; the edition's default speed at start

    // The text tools' font (face, size, style), in memory only: the text dialogs work on copies and OK writes
    // them back.
    QFont textFont = imaging::defaultTextFont();

    // The title of the window the run opened (empty until then).
    QString applicationTitle;
};

// Fills the state for a run started by state.invokedPath: edition and version label from the name, the
// workspace under the Documents folder (folders and the starter project created when missing), the project list
// (the first project current), currentSpeed at
// the edition's default, and no language chosen until a window reads the setting.
void prepareAppState(AppState& state, const QString& documents);

} // namespace shell
