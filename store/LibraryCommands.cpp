#include "store/LibraryCommands.h"

#include "messages/MessageCatalogue.h"
#include "messages/MessageIds.h"
#include "messages/Prompter.h"
#include "messages/WholeFile.h"
#include "store/Names.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <algorithm>
#include <optional>

namespace store {
namespace {

// Any entry of the folder whose name equals `name` ignoring case, other than `except` (the catalogue's keys
// match without regard to case, so two such files would share one membership list).
bool nameTakenIgnoringCase(const QString& folder, const QString& name, const QString& except)
{
    const QStringList entries = QDir(folder).entryList(QDir::AllEntries | QDir::Hidden | QDir::System |
                                                       QDir::NoDotAndDotDot);
    return std::any_of(entries.cbegin(), entries.cend(), [&](const QString& entry) {
        return entry != except && entry.compare(name, Qt::CaseInsensitive) == 0;
    });
}

// True when the name is already taken by a library (other than `except`) or by the root.
bool libraryNameInUse(const LibraryCatalogue& catalogue, const QString& name, int except)
{
    if (name.compare(kRootNodeText, Qt::CaseInsensitive) == 0)
        return true;
    const QList<LibraryInfo> libraries = catalogue.libraries();
    return std::any_of(libraries.cbegin(), libraries.cend(), [&](const LibraryInfo& library) {
        return library.number != except && sameLibraryName(library.name, name);
    });
}

} // namespace

bool createLibrary(LibraryCatalogue& catalogue, messages::Prompter& prompter)
{
    using messages::lookupMessage;
    QString name;
    for (;;) {
        const std::optional<QString> answer =
            prompter.inputText(lookupMessage(msg::NewLibraryTitle), lookupMessage(msg::AskLibraryName), QString());
        if (!answer || isNoName(*answer) || isNoName(answer->trimmed()))
            return false;
        // The first library is taken as typed; later ones are trimmed before they are compared and stored.
        name = catalogue.totalLibraries() > 0 ? answer->trimmed() : *answer;
        if (!libraryNameInUse(catalogue, name.trimmed(), -1))
            break;
        if (prompter.ask(lookupMessage(msg::NewLibraryTitle), lookupMessage(msg::LibraryExistsCreateAnother),
                         messages::Icon::Warning, messages::Buttons::YesNo)
            != messages::Answer::Yes)
            return false;
    }
    catalogue.addLibrary(name);
    prompter.tell(msg::NewLibraryTitle, msg::LibraryCreated, messages::Icon::Information);
    return true;
}

bool renameLibrary(LibraryCatalogue& catalogue, const QString& libraryName, messages::Prompter& prompter)
{
    using messages::lookupMessage;
    const int number = catalogue.libraryNumber(libraryName);
    QString name;
    for (;;) {
        const std::optional<QString> answer = prompter.inputText(lookupMessage(msg::RenameLibraryTitle),
                                                                 lookupMessage(msg::AskNewLibraryName), libraryName);
        if (!answer || isNoName(*answer) || *answer == libraryName || catalogue.totalLibraries() == 0)
            return false;
        name = answer->trimmed();
        if (isNoName(name))
            return false;
        // Every library counts, the one renamed included: a mere change of case is a name in use.
        if (!libraryNameInUse(catalogue, name, -1))
            break;
        if (prompter.ask(lookupMessage(msg::RenameLibraryTitle), lookupMessage(msg::LibraryNameInUse),
                         messages::Icon::Warning, messages::Buttons::YesNo)
            != messages::Answer::Yes)
            return false;
    }
    if (number < 0)
        return false; // the library went away meanwhile: nothing to rename
    catalogue.setLibraryName(number, name);
    prompter.tell(msg::RenameLibraryTitle, msg::LibraryRenamed, messages::Icon::Information);
    return true;
}

QString renamePictureFile(LibraryCatalogue& catalogue, const QString& fileName, messages::Prompter& prompter)
{
    using messages::lookupMessage;
    const QString& folder = catalogue.clipsFolder();
    QString newName;
    for (;;) {
        const std::optional<QString> answer =
            prompter.inputText(lookupMessage(msg::RenamePictureTitle), lookupMessage(msg::AskNewPictureName), fileName);
        if (!answer || isNoName(*answer) || *answer == fileName)
            return {};
        newName = withBmpExtension(*answer);
        if (!isStorablePictureName(*answer) || !isStorablePictureName(newName)) {
            // A name that would leave the clips folder or that the catalogue cannot hold: ask again.
            prompter.tell(msg::RenamePictureTitle, msg::InvalidFileName, messages::Icon::Warning);
            continue;
        }
        // Another file of that name, even one differing only in case, is never replaced; a change of case of
        // the file itself is a rename like any other.
        const bool taken = QFileInfo::exists(folder + newName) || nameTakenIgnoringCase(folder, newName, fileName);
        if (!taken)
            break;
        if (prompter.ask(lookupMessage(msg::RenamePictureTitle), lookupMessage(msg::PictureNameInUse),
                         messages::Icon::Warning, messages::Buttons::YesNo)
            == messages::Answer::Yes)
            continue;
        prompter.tell(msg::RenamePictureTitle, msg::PictureRenameFailed, messages::Icon::Warning);
        return {};
    }
    if (!QFile::rename(folder + fileName, folder + newName)) {
        prompter.tell(msg::RenamePictureTitle, msg::PictureRenameFailed, messages::Icon::Warning);
        return {};
    }
    try {
        catalogue.moveFileRecords(fileName, newName);
    } catch (const IniWriteError&) {
        QFile::rename(folder + newName, folder + fileName); // the records stay with the file they name
        throw;
    }
    prompter.tell(msg::RenamePictureTitle, msg::PictureRenamed, messages::Icon::Information);
    return newName;
}

bool deletePictureFile(LibraryCatalogue& catalogue, const QString& fileName, const QString& selectedLibrary,
                       messages::Prompter& prompter)
{
    if (!prompter.confirmText(msg::DeleteBannerTitle,
                              messages::formatMessage(msg::DeleteBannerQuestion, qUtf8Printable(fileName))))
        return false;
    if (membershipItems(catalogue.membershipText(fileName)).size() >= 2) {
        // Still in other libraries: the file only leaves the one it was selected under and keeps its records.
        catalogue.leaveLibrary(fileName, catalogue.libraryNumber(selectedLibrary));
        return true;
    }
    const QString path = catalogue.clipsFolder() + fileName;
    const bool present = QFileInfo::exists(path);
    if (!QFile::remove(path)) {
        prompter.tellText(msg::DeleteBannerTitle, messages::lookupMessage(msg::DeleteBannerFailed) + path + u'!',
                          messages::Icon::Stop);
        if (present)
            return true; // the file is still there, and so are its records
    }
    catalogue.forgetDeletedFiles({fileName});
    return true;
}

bool deleteLibrary(LibraryCatalogue& catalogue, const QString& libraryName, messages::Prompter& prompter)
{
    if (libraryName == kRootNodeText)
        return false;
    if (!prompter.confirmText(msg::DeleteLibraryTitle,
                              messages::formatMessage(msg::DeleteLibraryQuestion, qUtf8Printable(libraryName))))
        return false;
    const int j = catalogue.libraryNumber(libraryName);
    if (j < 0)
        return false;

    QStringList deleted;
    for (const QString& file : catalogue.pictureFiles()) {
        if (!catalogue.onlyInLibrary(file, j))
            continue;
        const QString path = catalogue.clipsFolder() + file;
        if (QFile::remove(path))
            deleted << file;
        else // it stays, with its records, among the files of no library
            prompter.tellText(msg::DeleteBannerTitle, messages::lookupMessage(msg::DeleteBannerFailed) + path + u'!',
                              messages::Icon::Stop);
    }

    {
        // Stored, and the workspace lock released, before the user is told: nobody waits on a message box.
        IniFile::WriteBatch batch(catalogue.ini());
        catalogue.forgetDeletedFiles(deleted);
        catalogue.removeLibrary(j);
    }
    prompter.tell(msg::DeleteLibraryTitle, msg::LibraryDeleted, messages::Icon::Information);
    return true;
}

bool exportFileCopy(const LibraryCatalogue& catalogue, const QString& fileName, const QString& rootFolder,
                    messages::Prompter& prompter)
{
    using messages::lookupMessage;
    if (isNoName(fileName)) {
        prompter.tell(msg::SavePictureAsNewTitle, msg::OnlyInLibraryMode, messages::Icon::Stop);
        return false;
    }
    const auto fail = [&] {
        prompter.tell(msg::SavePictureAsNewTitle, msg::SavePictureAsNewFailed, messages::Icon::Stop);
        return false;
    };
    if (!prompter.confirm(msg::SavePictureAsNewTitle, msg::SavePictureAsNewQuestion, messages::Buttons::OkCancel))
        return fail();
    const QString chosen = prompter.chooseSaveFile(lookupMessage(msg::SavePictureAsNewTitle), rootFolder, fileName,
                                                   {QStringLiteral("BMP (*.BMP)")});
    if (isNoName(chosen))
        return fail();
    const QString target = withBmpExtension(chosen);
    if (QFileInfo::exists(target)
        && !prompter.confirmText(msg::SavePictureAsNewTitle,
                                 messages::formatMessage(msg::OverwritePictureFile, qUtf8Printable(target)),
                                 messages::Buttons::OkCancel))
        return fail();

    // Read whole, then replace the target in one step: a failed copy leaves an existing target as it was, and a
    // copy onto the source itself rewrites the same bytes.
    const files::ReadOutcome source =
        files::readRegularFile(catalogue.clipsFolder() + fileName, files::kMaxPictureFileBytes);
    if (!source.ok() || files::writeWholeFile(target, source.bytes) != files::WriteResult::Written)
        return fail();
    prompter.tell(msg::SavePictureAsNewTitle, msg::SavePictureAsNewDone, messages::Icon::Information);
    return true;
}

} // namespace store
