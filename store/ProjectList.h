#pragma once

#include "store/LibraryCatalogue.h"
#include "store/Project.h"

#include <QString>
#include <memory>
#include <optional>
#include <utility>
#include <vector>

namespace messages {
class Prompter;
}

namespace store {

// The projects of the projects folder as the Projects page lists them, sorted by display name
// ("QuickStart (16 x 16)"), each with the open accessor through which all its reads and writes go.
class ProjectList {
public:
    explicit ProjectList(QString projectsFolder);

    const QString& projectsFolder() const { return folder_; }

    // Refills the list from the folder (files "*.ini" with both dimensions non-zero) and selects the first.
    void listProjects();
    // Selects the first project whose file name answers to the name (store/Names.h: whole, up to its first dot,
    // or less its ".ini"), as written when one does, else ignoring case. Returns false (selection unchanged) when
    // none matches.
    bool selectProjectByName(const QString& name);
    // Selects the project of that name, listing the folder again only when it is not listed yet (a project just
    // made). Whatever happens, the current project stays current when no project answers to the name.
    bool showProject(const QString& name);

    int size() const { return static_cast<int>(items_.size()); }
    bool isEmpty() const { return items_.empty(); }
    const QString& displayName(int index) const { return items_[index].displayName; }
    Project& project(int index) { return *items_[index].project; }
    const Project& project(int index) const { return *items_[index].project; }

    int currentIndex() const { return current_; }
    void setCurrentIndex(int index);
    // The current project, nullptr when the list is empty.
    Project* current();
    QString currentDisplayName() const;

    // Closes every accessor (before a project file is renamed or deleted).
    void clear();

private:
    struct Item {
        QString displayName;
        std::unique_ptr<Project> project;
    };
    QString folder_;
    std::vector<Item> items_;
    int current_ = -1;
};

// One row of the entry list: its caption ("(5 **) <Group:2,Ticker:1>logo.bmp"), its icon (0 plain, 1 group,
// 2 ticker, 3 both) and the entry it stands for (rows skip holes and pictures of the wrong size, so a row number
// is not always an entry number).
struct EntryRow {
    QString caption;
    int icon = 0;
    int entry = 0;
};

QString entryCaption(int entry, const QString& storedName, bool indelible, int group, int ticker);
int entryIcon(int group, int ticker);

// The rows of a project's entries. Entries whose picture file has gone are removed from the file (the others
// renumbered, their values kept) before the rows are made. nullopt when the project has no usable dimension:
// the page then keeps its old rows.
std::optional<std::vector<EntryRow>> loadEntryList(Project& project, const QString& clipsFolder);

// (picture name as stored, project display name) pairs, each once, sorted by picture name.
using AssociationIndex = std::vector<std::pair<QString, QString>>;
AssociationIndex buildAssociationIndex(ProjectList& projects);
// The display names of the projects holding exactly this file name, sorted.
QStringList associatedProjects(const AssociationIndex& index, const QString& fileName);

// "Rename project" and "Delete this project" for the current project, with their questions and messages.
void renameProject(ProjectList& projects, messages::Prompter& prompter);
void deleteProject(ProjectList& projects, messages::Prompter& prompter);

// What "New Project" did; nothing is written unless it is Ok.
enum class NewProjectStatus {
    Ok,
    UnusableName, // the name would leave the folder or cannot be a file name
    Exists,       // a project file of that name exists
};
unsigned messageId(NewProjectStatus status);

// "New Project": creates projectsFolder + name + ".ini" (the name as typed) of width x height. Throws IniWriteError
// when the file cannot be written.
NewProjectStatus createNamedProject(const QString& projectsFolder, const QString& name, int width, int height);

// What "Add to Project ->" did.
enum class AddPictureStatus {
    Ok,
    NotAdded, // nothing was clicked yet, or appendEntry refused the picture
};
unsigned messageId(AddPictureStatus status);

// "Add to Project ->": appends the picture last clicked in the page's library tree (empty when none was) to the
// project.
AddPictureStatus addPictureToProject(Project& project, const QString& clipsFolder, const QString& picture);

// Re-editing a banner as text: the file name a row caption shows, and the text and font to edit, from the
// banner's text record ("text,font"; empty when the file has none) or else from the file name.
QString fileNameFromCaption(const QString& caption);
// The banner text record type is the catalogue's (store/LibraryCatalogue.h).
BannerText bannerTextToEdit(const QString& fileName, const QString& textRecord);

} // namespace store
