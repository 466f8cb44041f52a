#pragma once

#include <QString>

namespace store {

// The folders the program works in. Every folder path ends with "/" and paths are joined by concatenation.
struct Workspace {
    QString rootFolder;     // Documents + "MyLumiwand/"
    QString exportFolder;   // root + L + "Export/"      (L = ledCount in decimal)
    QString projectsFolder; // root + L + "MyLumiwandProjects/"
    QString clipsFolder;    // root + L + "Clips/"
    QString tempFolder;     // a private per-user temporary folder
    QString settingsFile;   // root + "Lumiwand.ini", shared by every edition
};

// The user's Documents folder (XDG user dirs, $HOME/Documents by default), ending with "/".
QString documentsFolder();

// A temporary folder only this user can enter (mode 0700), ending with "/": under $XDG_RUNTIME_DIR when there is
// one, else a per-user folder in the system's temporary folder whose owner and mode are checked before use. When
// that name is taken by someone else, a fresh "lumiwand-<uid>-XXXXXX" folder is made and removed at exit.
QString privateTempFolder();

// The workspace of an edition under the given Documents folder, without touching the disk.
Workspace workspaceFor(const QString& documents, int ledCount);

// Creates the export, projects and clips folders that are missing (in this order) and the starter project
// "QuickStart.ini" of pictureWidth x ledCount when it is absent; an existing starter project is never touched.
// Then it clears what killed processes left (see removeStaleTemporaries).
Workspace prepareWorkspace(const QString& documents, int ledCount, int pictureWidth);

// Creates every missing folder along the path; does nothing when it exists. Failures are not reported: later
// file operations in the folder report their own.
void ensureFolderPath(const QString& folder);

} // namespace store
