// count, export and import: the device image of a project and binary project files from the command line.

#include "app/ctl/Command.h"
#include "app/ctl/Console.h"
#include "deviceimage/BinaryFiles.h"
#include "deviceimage/ImageCompiler.h"
#include "messages/MessageCatalogue.h"
#include "messages/MessageIds.h"
#include "messages/OutputFile.h"
#include "store/Names.h"
#include "store/ProjectList.h"

#include <optional>

namespace ctl {
namespace {

deviceimage::ImageContext imageContext(const Context& context)
{
    return {context.edition, context.workspace, context.simplifiedMode};
}

// The project of that name in the workspace, selected in `projects`; tells the user when there is none.
store::Project* findProject(Context& context, store::ProjectList& projects, const QString& name)
{
    projects.listProjects();
    if (!projects.selectProjectByName(name)) {
        context.err << messages::lookupMessage(msg::NoProjectSelected) << '\n';
        return nullptr;
    }
    return projects.current();
}

void reportUnreadable(Context& context, const deviceimage::CompileResult& result)
{
    for (const QString& problem : result.unreadable)
        context.err << problem << '\n';
}

int count(Context& context, const Invocation& invocation)
{
    const QStringList& arguments = invocation.arguments;
    store::ProjectList projects(context.workspace.projectsFolder);
    store::Project* project = findProject(context, projects, arguments[0]);
    if (!project)
        return 1;
    const deviceimage::CompileResult result =
        deviceimage::compileImage(deviceimage::CompileMode::Count, 0, project, imageContext(context));
    reportUnreadable(context, result);
    if (result.refused()) {
        context.err << result.refusal << '\n';
        return 1;
    }
    const deviceimage::ImageFigures figures =
        deviceimage::imageFigures(result.pictures, result.total, context.edition.ledCount);
    context.out << "pictures: " << figures.pictures << '\n'
                << "bytes: " << figures.total << '\n'
                << "free bytes: " << figures.freeBytes << '\n'
                << "free characters: " << figures.freeCharacters << '\n';
    return 0;
}

int exportImage(Context& context, const Invocation& invocation)
{
    const QStringList& arguments = invocation.arguments;
    int deviceType = deviceimage::editionDeviceType(context.edition.ledCount);
    if (const std::optional<QString> type = invocation.value(QStringLiteral("type"))) {
        bool ok = false;
        deviceType = type->toInt(&ok);
        if (!ok || !deviceimage::isDeviceType(deviceType)) // an image for no stick would mislead
            return usageOf(context, QStringLiteral("export"));
    }
    store::ProjectList projects(context.workspace.projectsFolder);
    store::Project* project = findProject(context, projects, arguments[0]);
    if (!project)
        return 1;
    const deviceimage::BuiltFile file =
        deviceimage::buildBinaryFile(*project, deviceType, arguments[1], imageContext(context));
    reportUnreadable(context, file.built);
    if (file.built.refused()) {
        context.err << file.built.refusal << '\n';
        return 1;
    }
    const QString& target = arguments[1];
    if (file.output == files::OutputResult::NotAFile) {
        context.err << messages::formatMessage(msg::OutputNotAFile, target.toUtf8().constData()) << '\n';
        return 1;
    }
    if (!file.written) {
        context.err << messages::lookupMessage(msg::ExportBinaryFailed) << '\n';
        return 1;
    }
    // The image itself may be what standard output carries.
    QTextStream& report = target == QLatin1String(files::kStandardOutputName) ? context.err : context.out;
    report << messages::lookupMessage(msg::ExportBinaryDone) << '\n';
    return 0;
}

int importImage(Context& context, const Invocation& invocation)
{
    const QStringList& arguments = invocation.arguments;
    const std::optional<QString> name = invocation.value(QStringLiteral("name"));
    const bool fromStandardInput = arguments[0] == kStandardStream;
    // Standard input has no file name to take the project's name from.
    if ((name && name->isEmpty()) || (fromStandardInput && !name))
        return usageOf(context, QStringLiteral("import"));
    const QString projectName = name ? *name : deviceimage::binaryProjectName(arguments[0]);
    if (!store::isUsableProjectName(projectName)) {
        context.err << messages::lookupMessage(msg::OpenLwdError) << '\n';
        return 1;
    }
    std::optional<QByteArray> contents;
    if (fromStandardInput && !(contents = readStandardInput(files::kMaxPictureFileBytes))) {
        context.err << messages::lookupMessage(msg::OpenBinaryFailed) << '\n';
        return 1;
    }
    const deviceimage::ImportResult result =
        contents ? deviceimage::importBinaryContents(*contents, projectName, imageContext(context))
                 : deviceimage::importBinaryFile(arguments[0], projectName, imageContext(context));
    switch (result.status) {
    case deviceimage::ImportStatus::Done:
        context.out << messages::formatMessage(msg::LwdImported, projectName.toUtf8().constData()) << '\n';
        return 0;
    case deviceimage::ImportStatus::WriteFailed:
        context.err << result.errorText << '\n';
        return 1;
    default:
        context.err << messages::lookupMessage(deviceimage::messageId(result.status)) << '\n';
        return 1;
    }
}

const Registration countRegistration{
    {QStringLiteral("count"), QStringLiteral("PROJECT"),
     QStringLiteral("Print the pictures, bytes, free bytes and free characters the project takes of the stick."),
     {}, count}};
const Registration exportRegistration{
    {QStringLiteral("export"), QStringLiteral("PROJECT FILE"),
     QStringLiteral("Write the project's device image as a binary project file (.lwd or .bin)."),
     {{QStringLiteral("type"), QStringLiteral("N"),
       QStringLiteral("Build the image for another stick's device type: 1, 3, 4, 6 or 7.")}},
     exportImage}};
const Registration importRegistration{
    {QStringLiteral("import"), QStringLiteral("FILE"),
     QStringLiteral("Open a binary project file (.lwd or .bin) as a project named like the file, added to it when it "
                    "exists. \"-\" reads the file from standard input; --name is needed then."),
     {{QStringLiteral("name"), QStringLiteral("NAME"), QStringLiteral("Import into the project NAME instead.")}},
     importImage}};

} // namespace
} // namespace ctl
