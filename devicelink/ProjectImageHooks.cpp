#include "devicelink/ProjectImageHooks.h"

#include "deviceimage/ImageCompiler.h"
#include "deviceimage/ImageToProject.h"
#include "messages/MessageIds.h"
#include "messages/Prompter.h"
#include "store/IniFile.h"
#include "store/Project.h"

#include <QFile>

namespace devicelink {

using deviceimage::CompileMode;
using deviceimage::ImportStatus;

ProjectHooks imageProjectHooks(const deviceimage::ImageContext& context,
                               std::function<store::Project*()> currentProject, messages::Prompter& prompter,
                               deviceimage::CompileListener* listener)
{
    // The project, when it has a project file on disk.
    const auto current = [currentProject]() -> store::Project* {
        store::Project* project = currentProject ? currentProject() : nullptr;
        return project && QFile::exists(project->path()) ? project : nullptr;
    };

    ProjectHooks hooks;
    hooks.currentProjectPath = [current] {
        store::Project* project = current();
        return project ? project->path() : QString();
    };
    hooks.currentEntryText = [current] {
        store::Project* project = current();
        if (!project)
            return QString();
        return QStringLiteral("%1 (%2 x %3)").arg(project->name()).arg(project->width()).arg(project->height());
    };
    hooks.singleMemberGroups = [current] {
        store::Project* project = current();
        return project ? store::singleMemberGroups(*project) : QString();
    };
    hooks.countedTotal = [current, context] {
        return deviceimage::compileImage(CompileMode::Count, 0, current(), context).total;
    };
    hooks.refreshProjectsPage = [current, context, listener] {
        deviceimage::compileImage(CompileMode::Count, 0, current(), context, listener);
    };
    hooks.buildImage = [current, context, &prompter](int deviceType) {
        try {
            const deviceimage::CompileResult built =
                deviceimage::compileImage(CompileMode::Build, deviceType, current(), context);
            if (built.refused())
                prompter.tellText(msg::DownloadTitle, built.refusal, messages::Icon::Stop);
            else if (built.image.isEmpty())
                prompter.tell(msg::DownloadTitle, msg::NothingDownloaded, messages::Icon::Stop);
            return built.image;
        } catch (const store::IniWriteError& error) {
            prompter.tellText(msg::DownloadTitle, error.message(), messages::Icon::Stop);
            return QByteArray();
        }
    };
    hooks.importImage = [current, context, &prompter](const QByteArray& image, const QString& name,
                                                      bool mergeIntoCurrent, int deviceType) {
        store::Project* target = mergeIntoCurrent ? current() : nullptr;
        if (mergeIntoCurrent && !target)
            return ImportOutcome::Refused;
        const deviceimage::ImportResult result = deviceimage::importImage(image, name, target, deviceType, context);
        switch (result.status) {
        case ImportStatus::Done:
            return ImportOutcome::Done;
        case ImportStatus::WriteFailed:
            prompter.tellText(msg::ReadDataTitle, result.errorText, messages::Icon::Stop);
            return ImportOutcome::WriteFailed;
        default:
            prompter.tell(msg::ReadDataTitle, deviceimage::messageId(result.status), messages::Icon::Stop);
            return ImportOutcome::Refused;
        }
    };
    return hooks;
}

} // namespace devicelink
