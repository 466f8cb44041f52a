// clipart and samples: the built-in clipart and the sample shows.

#include "app/ctl/Command.h"
#include "deviceimage/BannerSave.h"
#include "deviceimage/SampleShows.h"
#include "messages/MessageCatalogue.h"
#include "messages/MessageIds.h"
#include "store/Clipart.h"
#include "store/Project.h"
#include "store/ProjectList.h"

namespace ctl {
namespace {

deviceimage::ImageContext imageContextOf(const Context& context)
{
    return {context.edition, context.workspace, context.simplifiedMode};
}

const QString kClipartUsage =
    QStringLiteral("clipart [--group G] | clipart animations | clipart add NAME [--project NAME]");

// One picture a line, "group<TAB>file name"; the animations one a line with their frames.
int listClipart(Context& context, QStringList arguments)
{
    const std::optional<QString> group = takeOption(arguments, QStringLiteral("--group"));
    if (!arguments.isEmpty() || (group && !store::clipartGroups().contains(*group)))
        return usageOf(context, kClipartUsage + QStringLiteral("\ngroups: ") +
                                    store::clipartGroups().join(QLatin1Char(' ')));
    for (const store::ClipartPicture& picture : store::clipartPictures())
        if (!group || picture.group == *group)
            context.out << picture.group << '\t' << picture.fileName() << '\n';
    return 0;
}

int listAnimations(Context& context)
{
    for (const store::ClipartAnimation& animation : store::clipartAnimations())
        context.out << animation.name << '\t' << animation.intervalSteps << '\t'
                    << animation.frames.join(QLatin1Char(' ')) << '\n';
    return 0;
}

int addClipart(Context& context, QStringList arguments)
{
    const QString projectName =
        takeOption(arguments, QStringLiteral("--project")).value_or(QStringLiteral("QuickStart"));
    if (arguments.size() != 1 || projectName.isEmpty())
        return usageOf(context, kClipartUsage);
    store::ProjectList projects(context.workspace.projectsFolder);
    projects.listProjects();
    if (!projects.selectProjectByName(projectName)) {
        context.err << messages::lookupMessage(msg::NoProjectSelected) << '\n';
        return 1;
    }
    store::Project& project = *projects.current();
    const deviceimage::ClipartAdded added =
        deviceimage::addClipartToProject(imageContextOf(context), project, arguments[0]);
    switch (added.status) {
    case deviceimage::ClipartAddStatus::Ok:
        context.out << messages::formatMessage(msg::ClipartAdded, qUtf8Printable(added.fileName),
                                                       qUtf8Printable(project.name())) << '\n'
                    << "free bytes: " << added.freeBytes << '\n';
        return 0;
    case deviceimage::ClipartAddStatus::Unknown:
        context.err << messages::lookupMessage(msg::ClipartUnknown) << '\n';
        return 1;
    case deviceimage::ClipartAddStatus::WriteFailed:
        context.err << messages::lookupMessage(msg::ClipartCopyFailed) << '\n';
        return 1;
    case deviceimage::ClipartAddStatus::WrongHeight:
        context.err << store::appendFailureText(store::AppendStatus::Rejected, arguments[0], project.name()) << '\n';
        return 1;
    case deviceimage::ClipartAddStatus::StickTooSmall:
        context.err << deviceimage::stickTooSmallText(context.edition.ledCount) << '\n';
        return 1;
    }
    return 1;
}

int clipart(Context& context, const QStringList& given)
{
    QStringList arguments = given;
    if (arguments.value(0) == QLatin1String("add"))
        return addClipart(context, arguments.mid(1));
    if (arguments.value(0) == QLatin1String("animations") && arguments.size() == 1)
        return listAnimations(context);
    return listClipart(context, arguments);
}

const QString kSamplesUsage = QStringLiteral("samples | samples make NAME");

// "samples" lists them (key and name in the catalogue's language); "samples make NAME" makes one a new project.
int samples(Context& context, const QStringList& arguments)
{
    if (arguments.isEmpty()) {
        for (const deviceimage::SampleShow& sample : deviceimage::sampleShows())
            context.out << sample.key << '\t' << messages::lookupMessage(sample.titleId) << '\n';
        return 0;
    }
    if (arguments.size() != 2 || arguments[0] != QLatin1String("make"))
        return usageOf(context, kSamplesUsage);
    const deviceimage::SampleMade made = deviceimage::makeSampleShow(imageContextOf(context), arguments[1]);
    if (!made.ok()) {
        context.err << messages::lookupMessage(messageId(made.status)) << '\n';
        if (!made.detail.isEmpty())
            context.err << made.detail << '\n';
        return 1;
    }
    const deviceimage::SampleShow* sample = deviceimage::findSampleShow(arguments[1]);
    context.out << messages::formatMessage(msg::SampleMade, qUtf8Printable(messages::lookupMessage(sample->titleId)),
                                           qUtf8Printable(made.projectName))
                << '\n';
    return 0;
}

const Registration kClipart{{QStringLiteral("clipart"), kClipartUsage, clipart}};
const Registration kSamples{{QStringLiteral("samples"), kSamplesUsage, samples}};

} // namespace
} // namespace ctl
