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

// One picture a line, "group<TAB>file name"; the animations one a line with their frames.
int listClipart(Context& context, const Invocation& invocation)
{
    const std::optional<QString> group = invocation.value(QStringLiteral("group"));
    if (!invocation.arguments.isEmpty() || (group && !store::clipartGroups().contains(*group))) {
        context.err << QStringLiteral("groups: ") << store::clipartGroups().join(QLatin1Char(' ')) << '\n';
        return usageOf(context, QStringLiteral("clipart"));
    }
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

int addClipart(Context& context, const Invocation& invocation)
{
    const QStringList arguments = invocation.arguments.mid(1);
    const QString projectName = invocation.value(QStringLiteral("project")).value_or(QStringLiteral("QuickStart"));
    if (arguments.size() != 1 || projectName.isEmpty())
        return usageOf(context, QStringLiteral("clipart"));
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

int clipart(Context& context, const Invocation& invocation)
{
    const QStringList& arguments = invocation.arguments;
    if (arguments.value(0) == QLatin1String("add"))
        return addClipart(context, invocation);
    if (arguments.value(0) == QLatin1String("animations") && arguments.size() == 1)
        return listAnimations(context);
    return listClipart(context, invocation);
}

// "samples" lists them (key and name in the catalogue's language); "samples make NAME" makes one a new project.
int samples(Context& context, const Invocation& invocation)
{
    const QStringList& arguments = invocation.arguments;
    if (arguments.isEmpty()) {
        for (const deviceimage::SampleShow& sample : deviceimage::sampleShows())
            context.out << sample.key << '\t' << messages::lookupMessage(sample.titleId) << '\n';
        return 0;
    }
    if (arguments.size() != 2 || arguments[0] != QLatin1String("make"))
        return usageOf(context, QStringLiteral("samples"));
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

const Registration kClipart{
    {QStringLiteral("clipart"), QStringLiteral("[animations|add] [NAME]"),
     QStringLiteral("List the built-in clipart (of one group), list its animations, or add the picture NAME to a "
                    "project."),
     {{QStringLiteral("group"), QStringLiteral("G"), QStringLiteral("List only the pictures of the group G.")},
      {QStringLiteral("project"), QStringLiteral("NAME"),
       QStringLiteral("Add to the project NAME instead of QuickStart.")}},
     clipart}};
const Registration kSamples{
    {QStringLiteral("samples"), QStringLiteral("[make] [NAME]"),
     QStringLiteral("List the sample shows, or make the sample NAME a new project."),
     {},
     samples}};

} // namespace
} // namespace ctl
