#pragma once

#include "store/LibraryCatalogue.h"

#include <QList>
#include <QString>
#include <QStringList>
#include <optional>

namespace messages {
class Prompter;
}

// The library choice dialog's two commands of the Library page: copying or moving a picture between libraries,
// and adding it to several projects at once.
namespace store {

class ProjectList;

// The picture the dialog works on, as its "Source Information" shows it.
struct ChoiceSource {
    QString library;   // the library the file was selected under, or "[CLIP]"
    QString fileName;
    QString dimension; // the Library page's dimension text
};

// The dialog's answers: the ticked items, nullopt when cancelled.
class LibraryChooser {
public:
    virtual ~LibraryChooser() = default;
    // The libraries in number order with the file's memberships ticked; returns the ticked libraries' numbers.
    virtual std::optional<QList<int>> chooseLibraries(const ChoiceSource& source, const QList<LibraryInfo>& libraries,
                                                      const QList<int>& ticked) = 0;
    // The projects' display names in list order, none ticked; returns the ticked indices into that list.
    virtual std::optional<QList<int>> chooseProjects(const ChoiceSource& source, const QStringList& projects) = 0;
};

// "Copy/Move to other Librarys": the file belongs to exactly the ticked libraries afterwards (none: it moves to
// "[CLIP]"); keeping the source ticked copies, unticking it moves. Message 487 when at least one library is
// ticked. Returns true when the memberships were written (the page rebuilds its tree). A refused catalogue write
// throws IniWriteError with the catalogue unchanged.
bool copyToLibraries(LibraryCatalogue& catalogue, const ChoiceSource& source, LibraryChooser& chooser,
                     messages::Prompter& prompter);

// "Add to MyLumiwands Project": appends the file to every ticked project in list order. A project that refuses it
// is reported (its own message) and skipped; message 488 when at least one took it. Files under "[CLIP]" are added
// the same way as files of a library. Returns how many projects took the file (the page then rebuilds its
// association index).
int addToProjects(ProjectList& projects, const QString& clipsFolder, const ChoiceSource& source,
                  LibraryChooser& chooser, messages::Prompter& prompter);

} // namespace store
