#include "store/LibraryChoice.h"

#include "messages/MessageCatalogue.h"
#include "messages/MessageIds.h"
#include "messages/Prompter.h"
#include "store/Project.h"
#include "store/ProjectList.h"

namespace store {

using messages::Icon;
using messages::lookupMessage;

bool copyToLibraries(LibraryCatalogue& catalogue, const ChoiceSource& source, LibraryChooser& chooser,
                     messages::Prompter& prompter)
{
    const auto ticked = chooser.chooseLibraries(source, catalogue.libraries(), catalogue.memberships(source.fileName));
    if (!ticked)
        return false;
    catalogue.setFileLibraries(source.fileName, *ticked);
    if (!ticked->isEmpty())
        prompter.tell(msg::CopyMoveTitle, msg::PictureCopied, Icon::Information);
    return true;
}

int addToProjects(ProjectList& projects, const QString& clipsFolder, const ChoiceSource& source,
                  LibraryChooser& chooser, messages::Prompter& prompter)
{
    QStringList names;
    for (int k = 0; k < projects.size(); ++k)
        names << projects.displayName(k);
    const auto ticked = chooser.chooseProjects(source, names);
    if (!ticked)
        return 0;
    int added = 0;
    for (int k = 0; k < projects.size(); ++k) {
        if (!ticked->contains(k))
            continue;
        const AppendStatus result = appendEntry(projects.project(k), clipsFolder, source.fileName, 0, 0, 0, false);
        if (result == AppendStatus::Ok)
            ++added;
        else
            prompter.tellText(msg::AddToProjectsTitle, appendFailureText(result, source.fileName, names[k]),
                              Icon::Warning);
    }
    if (added > 0)
        prompter.tell(msg::AddToProjectsTitle, msg::PictureAdded, Icon::Information);
    return added;
}

} // namespace store
