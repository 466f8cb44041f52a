#include "store/ProjectList.h"

#include "messages/MessageCatalogue.h"
#include "messages/MessageIds.h"
#include "messages/Prompter.h"
#include "store/Names.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <algorithm>

namespace store {
namespace {

// The name a project file is stored under, with its ".ini".
QString fileNameOf(const Project& project)
{
    return QFileInfo(project.path()).fileName();
}

QString displayedName(const QString& storedName)
{
    const qsizetype backslash = storedName.indexOf(u'\\');
    return backslash < 0 ? storedName : storedName.mid(backslash + 1);
}

} // namespace

ProjectList::ProjectList(QString projectsFolder) : folder_(std::move(projectsFolder)) {}

void ProjectList::listProjects()
{
    clear();
    const QDir folder(folder_);
    // Names starting with a dot are listed too: a project renamed to one must not drop out of the list.
    for (const QFileInfo& file : folder.entryInfoList(QDir::Files | QDir::Hidden, QDir::Name)) {
        if (file.suffix().toLower() != QLatin1String("ini") || !file.fileName().contains(u'.'))
            continue;
        // Only the dimension is read here; a project's entries are read when something asks for them.
        const QSize dimension = Project::storedDimension(file.filePath());
        if (dimension.width() == 0 || dimension.height() == 0)
            continue;
        const QString name = file.fileName().left(file.fileName().size() - 4);
        items_.push_back({QStringLiteral("%1 (%2 x %3)").arg(name).arg(dimension.width()).arg(dimension.height()),
                          std::make_unique<Project>(file.filePath())});
    }
    std::stable_sort(items_.begin(), items_.end(), [](const Item& a, const Item& b) {
        return a.displayName.compare(b.displayName, Qt::CaseInsensitive) < 0;
    });
    current_ = items_.empty() ? -1 : 0;
}

bool ProjectList::selectProjectByName(const QString& name)
{
    // A name as written wins over one that differs in case only: "show" and "Show" are two projects here.
    for (const Qt::CaseSensitivity sensitivity : {Qt::CaseSensitive, Qt::CaseInsensitive}) {
        for (int i = 0; i < size(); ++i) {
            if (projectFileAnswersTo(fileNameOf(*items_[i].project), name, sensitivity)) {
                current_ = i;
                return true;
            }
        }
    }
    return false;
}

bool ProjectList::showProject(const QString& name)
{
    if (selectProjectByName(name))
        return true;
    const QString currentPath = current() ? current()->path() : QString();
    listProjects();
    if (selectProjectByName(name))
        return true;
    for (int i = 0; i < size(); ++i)
        if (items_[i].project->path() == currentPath)
            current_ = i;
    return false;
}

void ProjectList::setCurrentIndex(int index)
{
    if (index >= 0 && index < size())
        current_ = index;
}

Project* ProjectList::current()
{
    return current_ < 0 ? nullptr : items_[current_].project.get();
}

QString ProjectList::currentDisplayName() const
{
    return current_ < 0 ? QString() : items_[current_].displayName;
}

void ProjectList::clear()
{
    items_.clear();
    current_ = -1;
}

QString entryCaption(int entry, const QString& storedName, bool indelible, int group, int ticker)
{
    QString caption = QStringLiteral("(%1%2) ").arg(entry + 1).arg(indelible ? QStringLiteral(" **") : QString());
    if (group != 0 && ticker != 0)
        caption += QStringLiteral("<Group:%1,Ticker:%2>").arg(group).arg(ticker);
    else if (group != 0)
        caption += QStringLiteral("<Group:%1>").arg(group);
    else if (ticker != 0)
        caption += QStringLiteral("<Ticker:%1>").arg(ticker);
    return caption + displayedName(storedName);
}

int entryIcon(int group, int ticker)
{
    return (group != 0 ? 1 : 0) + (ticker != 0 ? 2 : 0);
}

std::optional<std::vector<EntryRow>> loadEntryList(Project& project, const QString& clipsFolder)
{
    const int width = project.width();
    const int height = project.height();
    if (width < 1 || height < 1)
        return std::nullopt;
    // The second pass runs only after a repair, which leaves no missing file behind.
    for (int pass = 0;; ++pass) {
        std::vector<EntryRow> rows;
        bool missing = false;
        for (int entry = 0, n = project.totalPictures(); entry < n; ++entry) {
            if (project.isHole(entry))
                continue;
            const QString name = project.pictureName(entry);
            const QString file = clipsFolder + name;
            if (!isClipFileName(name) || !QFile::exists(file)) { // a path is no file of the clips folder
                missing = true;
                continue;
            }
            const QSize size = pictureFileSize(file);
            if (size.width() <= 0 || size.height() != height)
                continue;
            const int group = project.group(entry);
            const int ticker = project.ticker(entry);
            rows.push_back({entryCaption(entry, name, project.indelible(entry), group, ticker),
                            entryIcon(group, ticker), entry});
        }
        if (!missing || pass > 0)
            return rows;
        compactEntries(project, [&](int, const QString& name) {
            const QString file = clipsFolder + name;
            if (!isClipFileName(name) || !QFile::exists(file))
                return false;
            const QSize size = pictureFileSize(file);
            return size.width() >= width && size.height() == height;
        });
    }
}

AssociationIndex buildAssociationIndex(ProjectList& projects)
{
    AssociationIndex index;
    for (int p = 0; p < projects.size(); ++p) {
        const Project& project = projects.project(p);
        for (int entry = 0, n = project.totalPictures(); entry < n; ++entry) {
            const QString name = project.ini().readString(QStringLiteral("PICTURE"), Project::entryKey(entry),
                                                          QStringLiteral("0"));
            if (!isNoName(name))
                index.emplace_back(name, projects.displayName(p));
        }
    }
    std::sort(index.begin(), index.end());
    index.erase(std::unique(index.begin(), index.end()), index.end());
    return index;
}

QStringList associatedProjects(const AssociationIndex& index, const QString& fileName)
{
    QStringList names;
    for (const auto& [picture, project] : index)
        if (picture == fileName)
            names << project;
    names.sort();
    return names;
}

void renameProject(ProjectList& projects, messages::Prompter& prompter)
{
    const Project* current = projects.current();
    if (!current)
        return;
    const QString oldFile = fileNameOf(*current);
    const QString oldName = oldFile.left(oldFile.size() - 4);
    const std::optional<QString> answer = prompter.inputText(messages::lookupMessage(msg::RenameProjectTitle),
                                                             messages::lookupMessage(msg::AskNewProjectName), oldName);
    if (!answer || isNoName(*answer) || *answer == oldName)
        return;
    const QString newFile = *answer + QStringLiteral(".ini");
    projects.clear();
    // A name that would leave the projects folder is refused like any other failed rename.
    const bool renamed = isUsableProjectName(*answer) &&
                         QFile::rename(projects.projectsFolder() + oldFile, projects.projectsFolder() + newFile);
    projects.listProjects();
    if (!renamed) {
        prompter.tell(msg::RenameProjectTitle, msg::ProjectRenameFailed, messages::Icon::Stop);
        return;
    }
    for (int i = 0; i < projects.size(); ++i)
        if (fileNameOf(projects.project(i)) == newFile)
            projects.setCurrentIndex(i);
    prompter.tell(msg::RenameProjectTitle, msg::ProjectRenamed, messages::Icon::Information);
}

void deleteProject(ProjectList& projects, messages::Prompter& prompter)
{
    if (!projects.current())
        return;
    const QString displayName = projects.currentDisplayName();
    if (!prompter.confirmText(msg::DeleteProjectTitle,
                              messages::formatMessage(msg::DeleteProjectQuestion, qUtf8Printable(displayName))))
        return;
    const QString name = displayName.left(displayName.lastIndexOf(QLatin1String(" (")));
    const QString path = projects.current()->path();
    projects.clear();
    if (!QFile::remove(path))
        prompter.tellText(msg::DeleteProjectTitle, messages::lookupMessage(msg::DeleteProjectFailed) + name + u'!',
                          messages::Icon::Stop);
    projects.listProjects();
}

unsigned messageId(AddPictureStatus status)
{
    return status == AddPictureStatus::Ok ? 0 : msg::AddPictureFailed;
}

AddPictureStatus addPictureToProject(Project& project, const QString& clipsFolder, const QString& picture)
{
    const bool added =
        !picture.isEmpty() && appendEntry(project, clipsFolder, picture, 0, -1, -1, false) == AppendStatus::Ok;
    return added ? AddPictureStatus::Ok : AddPictureStatus::NotAdded;
}

QString fileNameFromCaption(const QString& caption)
{
    QString name = caption.mid(caption.indexOf(u')') + 1);
    const qsizetype angle = name.indexOf(u'>');
    if (angle >= 0)
        name = name.mid(angle + 1);
    return name.trimmed();
}

BannerText bannerTextToEdit(const QString& fileName, const QString& textRecord)
{
    if (textRecord.isEmpty()) {
        const qsizetype dot = fileName.lastIndexOf(u'.');
        return {dot < 0 ? fileName : fileName.left(dot), QString()};
    }
    return splitBannerText(textRecord);
}

unsigned messageId(NewProjectStatus status)
{
    switch (status) {
    case NewProjectStatus::Ok:
        return 0;
    case NewProjectStatus::UnusableName:
        return msg::InvalidFileName;
    case NewProjectStatus::Exists:
        return msg::ProjectFileExists;
    }
    return 0;
}

NewProjectStatus createNamedProject(const QString& projectsFolder, const QString& name, int width, int height)
{
    if (!isUsableProjectName(name))
        return NewProjectStatus::UnusableName;
    const QString path = projectsFolder + name + QStringLiteral(".ini");
    if (QFileInfo::exists(path))
        return NewProjectStatus::Exists;
    createProject(path, width, height);
    return NewProjectStatus::Ok;
}

} // namespace store
