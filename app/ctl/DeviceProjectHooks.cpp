#include "app/ctl/DeviceProjectHooks.h"

#include <QFile>

namespace ctl {

DeviceProject openDeviceProject(const Context& context, const QString& name)
{
    DeviceProject current;
    current.name = name;
    const QString path = context.workspace.projectsFolder + name + QStringLiteral(".ini");
    if (!name.isEmpty() && QFile::exists(path))
        current.project = std::make_unique<store::Project>(path);
    return current;
}

devicelink::ProjectHooks deviceProjectHooks(Context&, DeviceProject& current)
{
    devicelink::ProjectHooks hooks;
    hooks.currentProjectPath = [&current] { return current.project ? current.project->path() : QString(); };
    hooks.currentEntryText = [&current] {
        if (!current.project)
            return QString();
        return QStringLiteral("%1 (%2 x %3)")
            .arg(current.project->name())
            .arg(current.project->width())
            .arg(current.project->height());
    };
    hooks.singleMemberGroups = [&current] {
        return current.project ? store::singleMemberGroups(*current.project) : QString();
    };
    return hooks;
}

} // namespace ctl
