#include "editing/PaintSave.h"

#include "deviceimage/BannerSave.h"
#include "deviceimage/TimingRecords.h"
#include "imaging/PictureFile.h"
#include "messages/MessageCatalogue.h"
#include "messages/MessageIds.h"
#include "messages/Prompter.h"
#include "store/Project.h"

#include <QFileInfo>

namespace editing {
namespace {

QStringList projectFileNames(const store::Project* project)
{
    QStringList names;
    if (!project)
        return names;
    for (int entry = 0, n = project->totalPictures(); entry < n; ++entry)
        if (!project->isHole(entry))
            names << project->pictureName(entry);
    return names;
}

// The file's shift record, from its content at its own speed.
void storeAutomaticShift(const PaintSaveRequest& request, const QString& fileName)
{
    const imaging::PictureLoad load = imaging::loadPicture(request.clipsFolder + fileName);
    if (!load.ok())
        return;
    deviceimage::TimingRecords records(request.clipsFolder, request.edition);
    const int width = deviceimage::contentBounds(load.picture).width;
    records.storeShift(fileName, deviceimage::autoShift(request.edition, records.lookupSpeed(fileName), width));
}

} // namespace

QString newBannerName(const QString& base, const std::function<bool(const QString&)>& taken)
{
    for (int n = 0;; ++n) {
        const QString candidate = base + QStringLiteral("%1.bmp").arg(n, 4, 10, QLatin1Char('0'));
        if (!taken(candidate))
            return candidate;
    }
}

QString newBannerBase(bool modifyMode, const QString& bannerName)
{
    if (!modifyMode)
        return QStringLiteral("EasyPaint");
    const qsizetype dot = bannerName.indexOf(u'.');
    return dot < 0 ? bannerName : bannerName.left(dot);
}

PaintSaveResult savePaintedBanner(const PaintSaveRequest& request, ExpressProjectLink& link,
                                  messages::Prompter& prompter)
{
    PaintSaveResult result;
    const bool replace = request.modifyMode && prompter.confirm(msg::SaveTitle, msg::ReplaceOrNew);
    if (replace) {
        result.bannerName = request.bannerName;
    } else {
        const QStringList listed = projectFileNames(link.expressProject());
        result.bannerName = newBannerName(newBannerBase(request.modifyMode, request.bannerName),
                                          [&](const QString& name) {
                                              return listed.contains(name, Qt::CaseInsensitive) ||
                                                     QFileInfo::exists(request.clipsFolder + name);
                                          });
        result.savedAsNew = true;
    }

    const imaging::PictureSave written =
        imaging::savePicture(request.picture, request.clipsFolder, result.bannerName,
                             replace ? imaging::ExistingFile::Replace : imaging::ExistingFile::Refuse);
    if (!written.ok()) {
        prompter.tellText(msg::SaveAsNewTitle, imaging::errorMessage(written), messages::Icon::Stop);
        result.closeWindow = false;
        result.savedAsNew = false;
        return result;
    }

    store::Project* project = link.expressProject();
    if (result.savedAsNew) {
        if (!project || store::appendEntry(*project, request.clipsFolder, result.bannerName, 0, -1, -1, false) !=
                            store::AppendStatus::Ok) {
            prompter.tell(msg::SaveAsNewTitle, msg::AddToProjectFailed, messages::Icon::Stop);
            result.savedAsNew = false;
            return result;
        }
    }
    link.refreshList();

    if (link.freeBytes() < 0) {
        prompter.tellText(msg::SaveAsNewTitle, deviceimage::stickTooSmallText(request.edition.ledCount),
                          messages::Icon::Stop);
        // The list reload may have reopened the project: ask for it again.
        store::Project* reopened = link.expressProject();
        if (result.savedAsNew && reopened) {
            store::removeEntry(*reopened, reopened->totalPictures() - 1, request.edition.factoryMode, prompter);
            link.refreshList();
        }
        return result;
    }

    result.saved = true;
    storeAutomaticShift(request, result.bannerName);
    prompter.tell(msg::SaveAsNewTitle, msg::BannerSaved, messages::Icon::Information);
    return result;
}

} // namespace editing
