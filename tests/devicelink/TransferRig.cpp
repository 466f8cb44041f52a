#include "tests/devicelink/TransferRig.h"

#include "messages/MessageCatalogue.h"

using namespace devicelink;

QByteArray makeImage(int height, const QList<TestPicture>& pictures, bool heightFlag, int seed)
{
    const int bands = (height + 7) / 8;
    int pattern = 0;
    for (const TestPicture& picture : pictures)
        pattern += picture.width * bands;
    const int start = 10 + 8 * static_cast<int>(pictures.size());
    const int total = start + pattern;
    QByteArray image;
    const auto word = [&image](int value) {
        image.append(static_cast<char>(value & 0xFF));
        image.append(static_cast<char>((value >> 8) & 0xFF));
    };
    image.append(static_cast<char>(pictures.size()));
    image.append(static_cast<char>(height + (heightFlag ? 128 : 0)));
    word(total);
    word(start);
    for (const TestPicture& picture : pictures) {
        word(picture.width | (picture.indelible ? 0x4000 : 0));
        word(0x0802);
        word(20);
        word(160);
    }
    word(4);
    word(160);
    for (int i = 0; i < pattern; ++i)
        image.append(static_cast<char>((i * 7 + seed) & 0xFF));
    return image;
}

TransferRig::TransferRig(SimulatedDeviceConfig config, TransferSettings settings)
    : platform(pump, std::move(config)),
      transport(platform, pump),
      transfers(transport, prompter, view, {}, [&] {
          settings.projectsFolder = projects.path() + u'/';
          return settings;
      }())
{
    projectPath = projects.filePath("Demo.ini");
    ProjectHooks& hooks = transfers.hooks();
    hooks.currentProjectPath = [this] { return projectPath; };
    hooks.currentEntryText = [this] { return projectPath.isEmpty() ? QString() : entryText; };
    hooks.countedTotal = [this] { return static_cast<int>(project.size()); };
    hooks.buildImage = [this](int type) {
        builtTypes << type;
        return project;
    };
    hooks.importImage = [this](const QByteArray& image, const QString& name, bool merge, int type) {
        imports << ImportCall{image, name, merge, type};
        if (onImport)
            onImport(imports.back());
        return devicelink::ImportOutcome::Done;
    };
    hooks.refreshProjectsPage = [this] { ++refreshes; };
    hooks.selectProjectByName = [this](const QString& name) { selected << name; };
    transport.discoverDevices();
}

QString message(unsigned id)
{
    return messages::lookupMessage(id);
}

QString message(unsigned id, int a)
{
    return messages::formatMessage(id, a);
}

QString message(unsigned id, int a, int b)
{
    return messages::formatMessage(id, a, b);
}
