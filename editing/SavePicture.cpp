#include "editing/SavePicture.h"

#include "deviceimage/TimingRecords.h"
#include "imaging/PictureFile.h"
#include "messages/MessageCatalogue.h"
#include "messages/MessageIds.h"
#include "messages/Prompter.h"
#include "store/LibraryCatalogue.h"
#include "store/Names.h"
#include "store/ProjectList.h"

#include <QFileInfo>

namespace editing {

using messages::Icon;

QString suggestedSaveName(const QString& editorFile)
{
    const QString name = QFileInfo(editorFile).fileName();
    return name.isEmpty() ? QString() : store::withBmpExtension(name);
}

SaveResult savePicture(const imaging::LitGrid& picture, const SaveChoice& choice, const SaveTarget& target,
                       store::ProjectList& projects, messages::Prompter& prompter)
{
    const QString fileName = store::isNoName(choice.fileName) ? QString() : store::withBmpExtension(choice.fileName);
    if (fileName.isEmpty() || !store::isStorablePictureName(fileName)) {
        prompter.tell(msg::SavePictureTitle, msg::InvalidFileName, Icon::Warning);
        return {};
    }
    const QString path = target.clipsFolder + fileName;
    if (QFileInfo::exists(path)
        && prompter.ask(messages::lookupMessage(msg::SavePictureTitle), messages::lookupMessage(msg::OverwriteFile),
                        Icon::Warning, messages::Buttons::YesNo) != messages::Answer::Yes) {
        return {};
    }

    const imaging::PictureSave saved = imaging::savePicture(
        picture.leftColumns(target.edition.maxBannerWidth), target.clipsFolder, fileName,
        imaging::ExistingFile::Replace);
    if (!saved.ok()) {
        prompter.tellText(msg::SavePictureTitle, imaging::errorMessage(saved), Icon::Stop);
        return {};
    }

    if (choice.project >= 0 && choice.project < projects.size()) {
        store::Project& project = projects.project(choice.project);
        if (store::appendEntry(project, target.clipsFolder, fileName, 0, -1, -1, false) != store::AppendStatus::Ok) {
            prompter.tell(msg::SavePictureTitle, msg::AddToProjectFailed, Icon::Stop);
            return {true, saved.path};
        }
    }
    deviceimage::TimingRecords(target.clipsFolder, target.edition).storeSpeed(fileName, target.speed);
    if (choice.library != store::kRootNodeText)
        store::LibraryCatalogue(target.clipsFolder).classifyFile(fileName, choice.library);
    prompter.tell(msg::SavePictureTitle, msg::BannerSaved, Icon::Information);
    return {true, saved.path};
}

} // namespace editing
