#include "shell/ExpressCommands.h"

#include "imaging/PictureFile.h"
#include "messages/MessageIds.h"
#include "messages/Prompter.h"
#include "messages/WholeFile.h"
#include "shell/AppState.h"
#include "shell/ExpressProject.h"
#include "store/IniFile.h"
#include "store/LibraryCatalogue.h"

namespace shell {
namespace {

// Hands the ticker question to the dialog and remembers whether it was cancelled.
class RecordingTickerChooser : public store::TickerChooser {
public:
    explicit RecordingTickerChooser(const ExpressDialogs& dialogs) : dialogs_(dialogs) {}
    store::TickerChoice chooseTicker(int currentType, int currentSpeed) override
    {
        const store::TickerChoice choice =
            dialogs_.chooseTicker ? dialogs_.chooseTicker(currentType, currentSpeed) : store::TickerChoice{};
        cancelled = choice.type < 0;
        return choice;
    }
    bool cancelled = true;

private:
    const ExpressDialogs& dialogs_;
};

} // namespace

store::Project* selectExpressProject(AppState& state)
{
    if (!state.projects)
        state.projects.emplace(state.workspace.projectsFolder);
    if (!state.projects->selectProjectByName(kExpressProjectName)) {
        state.projects->listProjects();
        if (!state.projects->selectProjectByName(kExpressProjectName))
            return nullptr;
    }
    return state.projects->current();
}

void readBackIntoExpressProject(AppState& state, messages::Prompter& prompter, const std::function<void()>& readBack)
{
    store::Project* project = selectExpressProject(state);
    if (!project)
        return;
    const QString path = project->path();
    const QByteArray before = files::readRegularFile(path, files::kMaxTextFileBytes).bytes;
    prepareReadBack(*project, state.edition);
    readBack();
    project = selectExpressProject(state); // the read may have listed the projects again
    if (project && project->totalPictures() == 0 && !before.isEmpty() &&
        files::writeWholeFile(path, before) != files::WriteResult::Written)
        prompter.tellText(msg::ReadBackTitle, store::IniWriteError(path).message(), messages::Icon::Stop);
}

std::optional<PaintTarget> choosePaintTarget(const StripModel& strip, const ExpressDialogs& dialogs)
{
    if (strip.rowCount() == 0)
        return PaintTarget{};
    const ExpressDialogs::PaintChoice choice =
        dialogs.askModifyOrNew ? dialogs.askModifyOrNew() : ExpressDialogs::PaintChoice::New;
    if (choice == ExpressDialogs::PaintChoice::None)
        return std::nullopt;
    if (choice == ExpressDialogs::PaintChoice::New)
        return PaintTarget{};
    const int row = strip.selectedSlot() < 0 ? 0 : std::max(strip.selectedRow(), 0);
    return PaintTarget{true, parseEntryCaption(strip.rows()[size_t(row)].caption).pictureName};
}

QString bannerStartText(const QString& clipsFolder, const QString& bannerName)
{
    const QString record = store::LibraryCatalogue(clipsFolder).readBannerText(bannerName);
    return store::bannerTextToEdit(bannerName, record).text;
}

bool chooseExpressTicker(store::Project& project, int entry, const ExpressDialogs& dialogs)
{
    RecordingTickerChooser chooser(dialogs);
    store::setTicker(project, entry, chooser);
    return !chooser.cancelled;
}

void adjustExpressShift(store::Project& project, int entry, const AppState& state, const ExpressDialogs& dialogs)
{
    if (!dialogs.adjustShift || project.isHole(entry))
        return;
    const QString name = project.pictureName(entry);
    deviceimage::TimingRecords records(state.workspace.clipsFolder, state.edition);
    deviceimage::ContentBounds bounds;
    const imaging::PictureLoad banner = imaging::loadPicture(state.workspace.clipsFolder + name);
    if (banner.ok())
        bounds = deviceimage::contentBounds(banner.picture);
    const int shift = dialogs.adjustShift(records.lookupShift(name), records.lookupSpeed(name), bounds);
    if (shift != -2)
        records.storeShift(name, shift);
}

} // namespace shell
