#include "deviceimage/BannerSave.h"

#include "deviceimage/ImageCompiler.h"
#include "deviceimage/TimingRecords.h"
#include "imaging/PictureFile.h"
#include "imaging/TextBanner.h"
#include "messages/MessageCatalogue.h"
#include "messages/MessageIds.h"
#include "messages/Prompter.h"
#include "store/LibraryCatalogue.h"
#include "store/Project.h"
#include "store/WorkspaceLock.h"

#include <QFile>

namespace deviceimage {
namespace {

int freeBytesOf(const ImageContext& context, const store::Project& project)
{
    const CompileResult count = compileImage(CompileMode::Count, 0, &project, context);
    return imageFigures(count.pictures, count.total, context.edition.ledCount).freeBytes;
}

} // namespace

KeptBanner keepBanner(const ImageContext& context, store::Project& project, const imaging::LitGrid& banner,
                      const QString& text, const QString& fontFamily, bool checkMemory)
{
    KeptBanner kept;
    const QString clips = context.workspace.clipsFolder;
    const QString fileName = imaging::bannerFileName(clips, text);
    if (fileName.isEmpty() || banner.isEmpty()) {
        kept.status = BannerStatus::BlankText;
        return kept;
    }
    // One hold of the lock for the append, the count and a take-back: no other writer's entry comes between.
    const store::WorkspaceLock lock;
    const imaging::PictureSave save = imaging::savePicture(banner, clips, fileName, imaging::ExistingFile::Refuse);
    if (!save.ok()) {
        kept.status = BannerStatus::WriteFailed;
        kept.errorText = imaging::errorMessage(save);
        return kept;
    }
    kept.fileName = fileName;
    // The entry is held in memory until the catalogue has the banner's records: a take-back or a failure then
    // leaves the project file as it was.
    store::IniFile::WriteBatch batch(project.ini());
    if (store::appendEntry(project, clips, fileName, 0, -1, -1, false) != store::AppendStatus::Ok) {
        batch.discard();
        kept.status = BannerStatus::NotAppended;
        kept.errorText =
            messages::formatMessage(msg::NotAddedToProject, qUtf8Printable(fileName), qUtf8Printable(project.name()));
        return kept;
    }
    kept.freeBytes = freeBytesOf(context, project);
    if (checkMemory && kept.freeBytes < 0) {
        batch.discard(); // exactly the entry added here
        kept.freeBytes = freeBytesOf(context, project);
        kept.status = BannerStatus::StickTooSmall;
        return kept;
    }
    store::LibraryCatalogue catalogue(clips);
    store::CatalogueTransaction transaction(catalogue);
    try {
        TimingRecords records(catalogue, context.edition);
        const int contentWidth = contentBounds(imaging::Picture(banner.toImage())).width;
        records.storeShift(fileName, autoShift(context.edition, records.lookupSpeed(fileName), contentWidth));
        catalogue.writeBannerText(fileName, text, fontFamily);
        transaction.commit();
        project.ini().flush();
    } catch (const store::IniWriteError&) {
        // A banner that is not kept leaves nothing behind.
        batch.discard();
        transaction.undo();
        QFile::remove(clips + fileName);
        throw;
    }
    return kept;
}

QString stickTooSmallText(int ledCount)
{
    return messages::formatMessage(msg::MemoryTooSmall, editionCapacity(ledCount));
}

ProjectBannerKeeper::ProjectBannerKeeper(ImageContext context, std::function<store::Project*()> project,
                                         messages::Prompter& prompter, bool checkMemory)
    : context_(std::move(context)), project_(std::move(project)), prompter_(prompter), checkMemory_(checkMemory)
{
}

bool ProjectBannerKeeper::keepBanner(const imaging::LitGrid& banner, const QString& text, const QFont& font)
{
    store::Project* project = project_ ? project_() : nullptr;
    if (!project) {
        prompter_.tell(msg::TextToBannerTitle, msg::NoProjectSelected, messages::Icon::Stop);
        return false;
    }
    try {
        last_ = deviceimage::keepBanner(context_, *project, banner, text, font.family(), checkMemory_);
    } catch (const store::IniWriteError& error) {
        prompter_.tellText(msg::TextToBannerTitle, error.message(), messages::Icon::Stop);
        return false;
    }
    switch (last_.status) {
    case BannerStatus::Kept:
        return true;
    case BannerStatus::BlankText:
        prompter_.tell(msg::TextToBannerTitle, msg::InvalidFileName, messages::Icon::Stop);
        return false;
    case BannerStatus::StickTooSmall:
        prompter_.tellText(msg::TextToBannerTitle, stickTooSmallText(context_.edition.ledCount),
                           messages::Icon::Stop);
        return false;
    case BannerStatus::WriteFailed:
    case BannerStatus::NotAppended:
        prompter_.tellText(msg::TextToBannerTitle, last_.errorText, messages::Icon::Stop);
        return false;
    }
    return false;
}

} // namespace deviceimage
