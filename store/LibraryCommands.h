#pragma once

#include "store/LibraryCatalogue.h"

#include <QString>

namespace messages {
class Prompter;
}

namespace store {

// The interactive operations of the Library page. Each asks, informs and refuses through the prompter with the
// catalogue's messages. A refused catalogue write throws IniWriteError ("Unable to write to ..."), which abandons
// the command; the catalogue is then as it was before the command.

// "New Library": asks for a name and adds the library. Returns true when a library was created (the page showing
// a tree rebuilds it).
bool createLibrary(LibraryCatalogue& catalogue, messages::Prompter& prompter);

// Renames the named library. Returns true when it was renamed.
bool renameLibrary(LibraryCatalogue& catalogue, const QString& libraryName, messages::Prompter& prompter);

// Renames a picture file in the clips folder and moves its catalogue records with it. Returns the new file name,
// or an empty text when the file was not renamed. The Library page rebuilds its tree afterwards.
QString renamePictureFile(LibraryCatalogue& catalogue, const QString& fileName, messages::Prompter& prompter);

// Deletes the picture file selected under `selectedLibrary` (a library name or "[CLIP]"). A file in two or more
// libraries only leaves the selected one and stays on disk with all its records. Returns true when the user
// confirmed (the page then rebuilds its tree, clears its information values and hides the preview).
bool deletePictureFile(LibraryCatalogue& catalogue, const QString& fileName, const QString& selectedLibrary,
                       messages::Prompter& prompter);

// Deletes a library: files that belonged to it alone are deleted with their records, the others leave it, and
// the later libraries move one number down. The root "[CLIP]" is never deleted. Returns true when done.
bool deleteLibrary(LibraryCatalogue& catalogue, const QString& libraryName, messages::Prompter& prompter);

// "Save Picture / Banner as new file": copies the selected file (empty when no file is selected) to a path the
// user chooses, starting in rootFolder. Returns true when the copy was written. The copy joins no library.
bool exportFileCopy(const LibraryCatalogue& catalogue, const QString& fileName, const QString& rootFolder,
                    messages::Prompter& prompter);

} // namespace store
