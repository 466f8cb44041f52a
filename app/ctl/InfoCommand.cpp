#include "app/ctl/Command.h"
#include "Version.h"

namespace ctl {
namespace {

int info(Context& context, const Invocation&)
{
    const store::EditionParameters& e = context.edition;
    const store::Workspace& w = context.workspace;
    QTextStream& out = context.out;
    out << "edition: " << e.ledCount << '\n'
        << "led count: " << e.ledCount << '\n'
        << "picture width: " << e.pictureWidth << '\n'
        << "max banner width: " << e.maxBannerWidth << '\n'
        << "default speed: " << e.defaultSpeed << '\n'
        << "factory mode: " << (e.factoryMode ? "yes" : "no") << '\n'
        << "simplified mode: " << (context.simplifiedMode ? "yes" : "no") << '\n'
        << "version: " << LUMIWAND_VERSION << '\n'
        << "root folder: " << w.rootFolder << '\n'
        << "export folder: " << w.exportFolder << '\n'
        << "projects folder: " << w.projectsFolder << '\n'
        << "clips folder: " << w.clipsFolder << '\n'
        << "temp folder: " << w.tempFolder << '\n'
        << "settings file: " << w.settingsFile << '\n';
    return 0;
}

const Registration registration{{QStringLiteral("info"), {},
                                 QStringLiteral("Print the edition's parameters, the version and the workspace folders."),
                                 {}, info}};

} // namespace
} // namespace ctl
