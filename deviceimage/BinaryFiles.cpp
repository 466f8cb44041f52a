#include "deviceimage/BinaryFiles.h"

#include "deviceimage/ImageCompiler.h"
#include "deviceimage/TimingRecords.h"
#include "messages/MessageCatalogue.h"
#include "messages/MessageIds.h"
#include "messages/Prompter.h"
#include "store/LibraryCatalogue.h"
#include "store/Names.h"
#include "store/ProjectList.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include "messages/OutputFile.h"
#include "messages/WholeFile.h"

namespace deviceimage {
namespace {

using messages::Icon;
using messages::lookupMessage;

constexpr unsigned kSaveTitle = msg::SaveBinaryTitle;
constexpr unsigned kOpenTitle = msg::OpenBinaryTitle;
constexpr unsigned kMailTitle = msg::EmailProjectTitle;
constexpr unsigned kExportFailed = msg::ExportBinaryFailed;

// The wait cursor for the length of a command, taken down on every way out.
class WaitCursor {
public:
    explicit WaitCursor(const BinaryCommandHooks& hooks) : hooks_(hooks) {}
    ~WaitCursor() { set(false); }
    void set(bool waiting)
    {
        if (waiting != waiting_ && hooks_.setWaitCursor)
            hooks_.setWaitCursor(waiting);
        waiting_ = waiting;
    }

private:
    const BinaryCommandHooks& hooks_;
    bool waiting_ = false;
};

// The current project when it has a project file on disk, else nullptr.
store::Project* currentProjectWithFile(store::ProjectList& projects)
{
    store::Project* project = projects.current();
    return project && QFileInfo(project->path()).isFile() ? project : nullptr;
}

// The text before the first "." of a file name ("Demo.ini" gives "Demo").
QString beforeFirstDot(const QString& fileName)
{
    const qsizetype dot = fileName.indexOf(u'.');
    return dot < 0 ? fileName : fileName.left(dot);
}

// Movie groups of one picture are played as single pictures: said before an image is made of the project.
void warnSingleMemberGroups(const store::Project& project, unsigned titleId, messages::Prompter& prompter)
{
    const QString groups = store::singleMemberGroups(project);
    if (!groups.isEmpty())
        prompter.tellText(titleId, groups + lookupMessage(msg::SingleMemberGroup), Icon::None);
}

// Builds and writes the image; false after telling the user why not (680, a refusal, or a catalogue write that
// failed while shift values were stored), with the normal cursor back before the message.
bool buildAndWrite(const store::Project& project, int deviceType, const QString& path, const ImageContext& context,
                   unsigned titleId, messages::Prompter& prompter, QByteArray& image, WaitCursor* cursor = nullptr)
{
    const auto failText = [&](const QString& text) {
        if (cursor)
            cursor->set(false);
        prompter.tellText(titleId, text, Icon::Stop);
        return false;
    };
    BuiltFile file;
    try {
        file = buildBinaryFile(project, deviceType, path, context);
    } catch (const store::IniWriteError& error) {
        return failText(error.message());
    }
    if (file.built.refused())
        return failText(file.built.refusal);
    if (!file.written)
        return failText(lookupMessage(kExportFailed));
    image = file.built.image;
    return true;
}

// The project name the open command imports into, after the questions about an existing project of that name;
// nullopt when the user gave up.
std::optional<QString> chooseProjectName(const QString& fileName, const QString& projectsFolder,
                                         messages::Prompter& prompter)
{
    const auto exists = [&](const QString& name) {
        return QFileInfo::exists(projectsFolder + name + QStringLiteral(".ini"));
    };
    const auto overwrite = [&](const QString& name) {
        return prompter.confirmText(kOpenTitle,
                                    messages::formatMessage(msg::OverwriteSameNameProject, name.toUtf8().constData()));
    };
    if (!exists(fileName) || overwrite(fileName))
        return fileName;
    for (;;) {
        const std::optional<QString> answer =
            prompter.inputText(lookupMessage(kOpenTitle), lookupMessage(msg::AskImportProjectName), fileName);
        if (!answer || store::isNoName(*answer) || *answer == fileName)
            return std::nullopt;
        if (!store::isUsableProjectName(*answer))
            continue;
        if (!exists(*answer) || overwrite(*answer))
            return answer;
    }
}

} // namespace

int deviceTypeOfOption(int option, int ledCount)
{
    switch (option) {
    case 1:
        return kVisuallyInviting;
    case 3:
        return kRoll;
    default:
        return editionDeviceType(ledCount);
    }
}

int deviceTypeForHeight(int height)
{
    return editionDeviceType(height); // the LED count is the height, and the same types go with it
}

QString binaryProjectName(const QString& path)
{
    return beforeFirstDot(QFileInfo(path).fileName());
}

bool isBinaryProjectFile(const QString& path)
{
    const QString suffix = QFileInfo(path).suffix().toLower();
    return suffix == QLatin1String("lwd") || suffix == QLatin1String("bin");
}

bool writeBinaryFile(const QString& path, const QByteArray& image)
{
    return files::writeOutputFile(path, image) == files::OutputResult::Written;
}

BuiltFile buildBinaryFile(const store::Project& project, int deviceType, const QString& path,
                          const ImageContext& context)
{
    BuiltFile file;
    store::LibraryCatalogue catalogue(context.workspace.clipsFolder);
    store::CatalogueTransaction transaction(catalogue);
    TimingRecords timing(catalogue, context.edition);
    file.built = compileImage(CompileMode::Build, deviceType, &project, context, timing);
    if (file.built.refused() || file.built.total == 0)
        return file;
    transaction.commit(); // the lock goes with it: the file is written without holding up other commands
    file.output = files::writeOutputFile(path, file.built.image);
    file.written = file.output == files::OutputResult::Written;
    if (!file.written)
        transaction.undo();
    return file;
}

unsigned checkBinaryImage(const QByteArray& image)
{
    const int total = readWord(image, 2);
    if (image.size() < 4 || image.size() != total)
        return 690;
    if (quint8(image[0]) == 0)
        return 691;
    if (const int height = quint8(image[1]);
        height != 16 && height != 24 && height != 32 && height != 48 && height != 64)
        return 692;
    if (total == 0 || total == 0xFFFF)
        return 693;
    return 0;
}

BinaryFileRead readBinaryFile(const QString& path)
{
    const files::ReadOutcome file = files::readRegularFile(path, files::kMaxPictureFileBytes);
    if (!file.ok())
        return {QByteArray(), 689};
    return checkBinaryFile(file.bytes);
}

BinaryFileRead checkBinaryFile(const QByteArray& contents)
{
    BinaryFileRead read;
    read.image = contents.left(kMaxBinaryFileBytes);
    read.messageId = checkBinaryImage(read.image);
    return read;
}

namespace {

ImportResult importCheckedFile(const BinaryFileRead& read, const QString& projectName, const ImageContext& context)
{
    if (read.messageId == 0)
        return importImage(read.image, projectName, nullptr, deviceTypeForHeight(quint8(read.image[1])), context);
    ImportResult result;
    result.projectName = projectName;
    result.status = importStatusForMessage(read.messageId);
    return result;
}

} // namespace

ImportResult importBinaryFile(const QString& path, const QString& projectName, const ImageContext& context)
{
    return importCheckedFile(readBinaryFile(path), projectName, context);
}

ImportResult importBinaryContents(const QByteArray& contents, const QString& projectName, const ImageContext& context)
{
    return importCheckedFile(checkBinaryFile(contents), projectName, context);
}

QString exportPath(const QString& chosen, const QString& extension)
{
    if (chosen.isEmpty())
        return {};
    const QFileInfo file(chosen);
    // An existing file of the chosen type keeps its name; any other name is cut before its first dot.
    if (file.exists() && chosen.endsWith(extension, Qt::CaseInsensitive))
        return file.absoluteFilePath();
    const QString name = beforeFirstDot(file.fileName());
    return name.isEmpty() ? QString() : file.absoluteDir().filePath(name + extension);
}

bool exportBinary(store::ProjectList& projects, const ImageContext& context, messages::Prompter& prompter,
                  const BinaryCommandHooks& hooks)
{
    store::Project* project = currentProjectWithFile(projects);
    if (!project)
        return false;

    int deviceType = editionDeviceType(context.edition.ledCount);
    if (context.edition.factoryMode && hooks.deviceTypeChooser) {
        const std::optional<int> option = hooks.deviceTypeChooser->chooseDeviceTypeOption();
        if (!option)
            return false;
        deviceType = deviceTypeOfOption(*option, context.edition.ledCount);
    }
    warnSingleMemberGroups(*project, kSaveTitle, prompter);
    if (!prompter.confirm(kSaveTitle, 678, messages::Buttons::OkCancel)) {
        prompter.tell(kSaveTitle, kExportFailed, Icon::Stop);
        return false;
    }

    const QString entryText = projects.currentDisplayName();
    const QString proposed = entryText.left(entryText.indexOf(u'(')).trimmed();
    const messages::Prompter::SaveFileChoice choice =
        prompter.chooseSaveFileAndType(lookupMessage(kSaveTitle), context.workspace.exportFolder, proposed,
                                       {messages::fileFilter(msg::BinaryFiles, QStringLiteral("*.bin")),
                                        messages::fileFilter(msg::LumiwandFiles, QStringLiteral("*.lwd"))});
    const QString path = exportPath(choice.path, choice.filter == 1 ? QStringLiteral(".lwd") : QStringLiteral(".bin"));
    if (path.isEmpty()) {
        prompter.tell(kSaveTitle, kExportFailed, Icon::Stop);
        return false;
    }
    if (QFileInfo::exists(path)
        && !prompter.confirmText(kSaveTitle,
                                 messages::formatMessage(msg::OverwriteBinaryFile, path.toUtf8().constData()),
                                 messages::Buttons::OkCancel)) {
        prompter.tell(kSaveTitle, kExportFailed, Icon::Stop);
        return false;
    }

    QByteArray image;
    if (!buildAndWrite(*project, deviceType, path, context, kSaveTitle, prompter, image))
        return false;
    QString text = lookupMessage(msg::ExportBinaryDone);
    if (context.edition.factoryMode)
        text += QString::asprintf("\n\nCHECK SUM: %4X\n\n", unsigned(imageChecksum(image)));
    prompter.tellText(kSaveTitle, text, Icon::None);
    return true;
}

bool emailProject(store::ProjectList& projects, const ImageContext& context, messages::Prompter& prompter,
                  const BinaryCommandHooks& hooks)
{
    store::Project* project = currentProjectWithFile(projects);
    if (!project)
        return false;
    WaitCursor cursor(hooks);
    cursor.set(true);
    warnSingleMemberGroups(*project, kMailTitle, prompter);

    const QString name = beforeFirstDot(QFileInfo(project->path()).fileName());
    const QString path = context.workspace.exportFolder + name + QStringLiteral("_mail.lwd");
    QByteArray image;
    if (!buildAndWrite(*project, editionDeviceType(context.edition.ledCount), path, context, kMailTitle, prompter,
                       image, &cursor))
        return false;

    const QString subject = messages::formatMessage(msg::EmailProjectSubject, project->name().toUtf8().constData());
    const QString body = QStringLiteral(" ");
    const mail::HandOver handOver = hooks.sendMail
                                        ? hooks.sendMail(context.workspace.tempFolder, {path}, subject, body)
                                        : mail::sendMail(context.workspace.tempFolder, {path}, subject, body);
    cursor.set(false);
    if (handOver == mail::HandOver::NotStarted) {
        prompter.tell(kMailTitle, kExportFailed, Icon::Stop);
        return false;
    }
    if (handOver == mail::HandOver::NoMailProgram) {
        prompter.tellText(kMailTitle, mail::noMailProgramText(path), Icon::Stop);
        return false;
    }
    prompter.tell(kMailTitle, msg::EmailProjectDone, Icon::Information);
    return true;
}

QStringList binaryFileFilters()
{
    return {messages::fileFilter(msg::BinaryProjectFiles, QStringLiteral("*.lwd *.LWD *.bin *.BIN")),
            messages::fileFilter(msg::LumiwandFiles, QStringLiteral("*.LWD *.lwd")),
            messages::fileFilter(msg::BinaryFiles, QStringLiteral("*.bin *.BIN"))};
}

QString openBinary(store::ProjectList& projects, const ImageContext& context, messages::Prompter& prompter,
                   const BinaryCommandHooks& hooks)
{
    // Both kinds at first: a .bin file the program has just exported opens as readily as a .lwd one.
    const QString path =
        prompter.chooseOpenFile(lookupMessage(msg::OpenBinaryFilesTitle), context.workspace.exportFolder, binaryFileFilters());
    return path.isEmpty() ? QString() : openBinaryFile(path, projects, context, prompter, hooks);
}

QString openBinaryFile(const QString& path, store::ProjectList& projects, const ImageContext& context,
                       messages::Prompter& prompter, const BinaryCommandHooks& hooks)
{
    const QString fileName = binaryProjectName(path);
    if (!store::isUsableProjectName(fileName)) {
        prompter.tell(kOpenTitle, msg::OpenLwdError, Icon::Stop);
        return {};
    }
    const std::optional<QString> name = chooseProjectName(fileName, context.workspace.projectsFolder, prompter);
    if (!name)
        return {};

    WaitCursor cursor(hooks);
    cursor.set(true);
    const BinaryFileRead read = readBinaryFile(path);
    if (read.messageId != 0) {
        cursor.set(false);
        prompter.tell(kOpenTitle, read.messageId, Icon::Stop);
        return {};
    }
    const ImportResult result =
        importImage(read.image, *name, nullptr, deviceTypeForHeight(quint8(read.image[1])), context);
    cursor.set(false);
    if (result.status != ImportStatus::Done && result.status != ImportStatus::WriteFailed) {
        prompter.tell(kOpenTitle, messageId(result.status), Icon::Stop);
        return {};
    }
    if (result.status == ImportStatus::WriteFailed)
        prompter.tellText(kOpenTitle, result.errorText, Icon::Stop);
    else
        prompter.tellText(kOpenTitle, messages::formatMessage(msg::LwdImported, name->toUtf8().constData()),
                          Icon::Information);

    // The project may be new: list the projects again and show it.
    projects.listProjects();
    projects.selectProjectByName(*name);
    if (hooks.loadEntryList)
        hooks.loadEntryList();
    else if (store::Project* current = projects.current())
        store::loadEntryList(*current, context.workspace.clipsFolder);
    return result.status == ImportStatus::Done ? *name : QString();
}

} // namespace deviceimage
