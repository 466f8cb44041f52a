#include "devicelink/ProductionImages.h"

#include "deviceimage/BinaryFiles.h"
#include "devicelink/ProjectImageHooks.h"
#include "messages/MessageCatalogue.h"
#include "messages/MessageIds.h"
#include "messages/Prompter.h"
#include "store/ProjectList.h"

#include <QFileInfo>
#include <set>

namespace devicelink {
namespace {

// The device types a stick of `ledCount` LEDs can have (the identity table), the edition's first.
std::set<int> stickTypes(int ledCount)
{
    std::set<int> types{deviceimage::editionDeviceType(ledCount)};
    for (char letter = 'A'; letter <= 'Z'; ++letter) {
        const DeviceIdentity identity = decodeIdentity(QChar(letter));
        if (identity.ledCount == ledCount)
            types.insert(identity.type);
    }
    return types;
}

QHash<int, QByteArray> fileImages(const deviceimage::ImageContext& context, const QString& path,
                                  messages::Prompter& prompter)
{
    const deviceimage::BinaryFileRead read = deviceimage::readBinaryFile(path);
    if (read.messageId != 0) {
        prompter.tell(msg::DownloadTitle, read.messageId, messages::Icon::Stop);
        return {};
    }
    const int ledCount = context.edition.ledCount;
    const int height = static_cast<quint8>(read.image[deviceimage::kHeightOffset]) & 0x7F;
    if (height != ledCount) {
        prompter.tellText(msg::DownloadTitle, messages::formatMessage(msg::ProductionImageLedCount, height, ledCount),
                          messages::Icon::Stop);
        return {};
    }
    QHash<int, QByteArray> images;
    for (int type : stickTypes(ledCount))
        images.insert(type, read.image);
    return images;
}

QHash<int, QByteArray> projectImages(const deviceimage::ImageContext& context, const QString& name,
                                     messages::Prompter& prompter)
{
    store::ProjectList projects(context.workspace.projectsFolder);
    projects.listProjects();
    if (!projects.selectProjectByName(name)) {
        prompter.tell(msg::DownloadTitle, msg::NoProjectSelected, messages::Icon::Stop);
        return {};
    }
    const ProjectHooks hooks = imageProjectHooks(context, [&projects] { return projects.current(); }, prompter);
    QHash<int, QByteArray> images;
    for (int type : stickTypes(context.edition.ledCount)) {
        const QByteArray image = hooks.buildImage(type);
        if (image.isEmpty())
            return {}; // told by the hook
        images.insert(type, image);
    }
    return images;
}

} // namespace

bool isBinaryProjectFile(const QString& source)
{
    const QString suffix = QFileInfo(source).suffix().toLower();
    return suffix == QLatin1String("lwd") || suffix == QLatin1String("bin");
}

QHash<int, QByteArray> productionImages(const deviceimage::ImageContext& context, const QString& source,
                                        messages::Prompter& prompter)
{
    return isBinaryProjectFile(source) ? fileImages(context, source, prompter)
                                       : projectImages(context, source, prompter);
}

} // namespace devicelink
