// lumiwandctl's device commands: list the sticks, and download, read back and verify through the same transfers
// as the download dialog, against the USB sticks or the simulated one of LUMIWAND_SIMULATED_DEVICE.
#include "app/ctl/Command.h"
#include "app/ctl/Console.h"
#include "devicelink/DeviceTransfers.h"
#include "devicelink/HidPlatformChoice.h"
#include "devicelink/ProjectImageHooks.h"
#include "devicelink/Transport.h"
#include "messages/MessageCatalogue.h"
#include "messages/MessageIds.h"
#include "store/ProjectList.h"

namespace ctl {
namespace {

using namespace devicelink;

// A platform, a transport over it, and the console in place of the dialog.
struct DeviceSession {
    explicit DeviceSession(Context& context)
        : progress(context.err), prompter(context.err, &progress)
    {
        PlatformChoice choice = createHidPlatform(pump);
        platform = std::move(choice.platform);
        if (!platform)
            context.err << choice.refusal() << '\n';
        else
            transport = std::make_unique<Transport>(*platform, pump);
    }

    QtEventPump pump;
    std::unique_ptr<HidPlatform> platform;
    std::unique_ptr<Transport> transport;
    ProgressLine progress;
    ConsolePrompter prompter;
};

TransferSettings transferSettings(const Context& context)
{
    TransferSettings settings;
    settings.ledCount = context.edition.ledCount;
    settings.factoryMode = context.edition.factoryMode;
    settings.simplifiedMode = context.simplifiedMode;
    settings.projectsFolder = context.workspace.projectsFolder;
    settings.downloadRecordFile = downloadRecordFile(context.workspace);
    return settings;
}

int devices(Context& context, const Invocation&)
{
    DeviceSession session(context);
    if (!session.platform)
        return 2;
    // Every interface with the stick's ids, so a user can tell what is wrong when none is accepted.
    for (const HidInterface& hid : session.platform->enumerateInterfaces()) {
        if (hid.vendorId != kVendorId || hid.productId != kProductId)
            continue;
        const std::optional<QString> manufacturer = session.platform->manufacturerString(hid.path);
        context.out << hid.path << "  05fe:1113  manufacturer "
                    << (manufacturer ? QLatin1Char('"') + *manufacturer + QLatin1Char('"') : QStringLiteral("unreadable"))
                    << (hid.accessible ? "" : "  no permission") << (hid.hasIndicators ? "" : "  no indicator lamps")
                    << '\n';
    }
    Transport& transport = *session.transport;
    if (transport.discoverDevices()) {
        const DeviceEntry& entry = *transport.selector().current();
        context.out << entry.displayName << ": " << entry.path << '\n';
        return 0;
    }
    context.out << transport.selector().emptyText() << '\n';
    context.err << (transport.selector().accessDenied ? accessDeniedMessage()
                                                      : messages::lookupMessage(msg::NoStickPluggedIn))
                << '\n';
    return 1;
}

enum class Transfer { Download, Read, Verify };

int transfer(Context& context, const Invocation& invocation, Transfer kind)
{
    const QString name = invocation.arguments.first();
    // download and verify work on the named project; read makes a new one and has no current project.
    store::ProjectList projects(context.workspace.projectsFolder);
    if (kind != Transfer::Read) {
        projects.listProjects();
        if (!projects.selectProjectByName(name)) {
            context.err << messages::lookupMessage(msg::NoProjectSelected) << '\n';
            return 1;
        }
    }
    DeviceSession session(context);
    if (!session.platform)
        return 2;
    const deviceimage::ImageContext imageContext{context.edition, context.workspace, context.simplifiedMode};
    ProjectHooks hooks = imageProjectHooks(
        imageContext, [&projects, kind] { return kind == Transfer::Read ? nullptr : projects.current(); },
        session.prompter);
    // The dialog stops silently on a project without an image; here the user is told, and the stick left alone.
    if (kind != Transfer::Read && hooks.countedTotal() == 0) {
        context.err << messages::formatMessage(msg::ProjectHoldsNoPicture, name.toUtf8().constData()) << '\n';
        return 1;
    }
    DeviceTransfers transfers(*session.transport, session.prompter, session.progress, std::move(hooks),
                              transferSettings(context));
    const StopSignals stopSignals;
    transfers.interrupted = &StopSignals::received;
    session.transport->discoverDevices();
    session.prompter.answers.enqueue(name); // the name Read Data asks for; asked again, it cancels
    bool ok = false;
    switch (kind) {
    case Transfer::Download: ok = transfers.download(); break;
    case Transfer::Read: ok = transfers.readData(); break;
    case Transfer::Verify: ok = transfers.verify(); break;
    }
    session.progress.finish();
    if (StopSignals::received()) {
        context.err << messages::lookupMessage(msg::TransferInterrupted) << '\n';
        return StopSignals::exitStatus();
    }
    return ok ? 0 : 1;
}

const Registration devicesCommand{
    {QStringLiteral("devices"), {},
     QStringLiteral("List every interface with the stick's USB ids and the stick the transfers would use."), {},
     devices}};
const Registration downloadCommand{
    {QStringLiteral("download"), QStringLiteral("PROJECT"), QStringLiteral("Download the project into the stick."),
     {}, [](Context& c, const Invocation& i) { return transfer(c, i, Transfer::Download); }}};
const Registration readCommand{
    {QStringLiteral("read"), QStringLiteral("NAME"), QStringLiteral("Read the stick back into a new project NAME."),
     {}, [](Context& c, const Invocation& i) { return transfer(c, i, Transfer::Read); }}};
const Registration verifyCommand{
    {QStringLiteral("verify"), QStringLiteral("PROJECT"),
     QStringLiteral("Compare what the stick holds with the project's image."), {},
     [](Context& c, const Invocation& i) { return transfer(c, i, Transfer::Verify); }}};

} // namespace
} // namespace ctl
