// convert, banner and import-gif: the image importer and the text-to-banner dialog without a window.

#include "app/ctl/Command.h"
#include "deviceimage/AnimationImport.h"
#include "deviceimage/BannerSave.h"
#include "imaging/ImageDecode.h"
#include "imaging/ImageImport.h"
#include "imaging/PictureFile.h"
#include "imaging/TextBanner.h"
#include "messages/MessageCatalogue.h"
#include "messages/MessageIds.h"
#include "messages/OutputFile.h"
#include "store/ProjectList.h"

#include <optional>

namespace ctl {
namespace {

bool takeSwitch(QStringList& arguments, const QString& name)
{
    return arguments.removeAll(name) > 0;
}

std::optional<int> numberIn(const QString& text, int lowest, int highest)
{
    bool ok = false;
    const int number = text.toInt(&ok);
    return ok && number >= lowest && number <= highest ? std::optional<int>(number) : std::nullopt;
}

const QStringList kFits{QStringLiteral("trim"), QStringLiteral("stretch"), QStringLiteral("aspect")};

// --fit and --mode, as convert and import-gif spell them; nullopt for a value neither knows.
struct FitChoice {
    imaging::FitMode fit = imaging::FitMode::Trim;
    imaging::ProcessMethod method = imaging::ProcessMethod::TextMode;
};
std::optional<FitChoice> takeFitChoice(QStringList& arguments)
{
    const QString fit = takeOption(arguments, QStringLiteral("--fit")).value_or(QStringLiteral("trim"));
    const QString mode = takeOption(arguments, QStringLiteral("--mode")).value_or(QStringLiteral("text"));
    if (!kFits.contains(fit) || (mode != "text" && mode != "picture"))
        return std::nullopt;
    return FitChoice{imaging::FitMode(kFits.indexOf(fit)),
                     mode == "text" ? imaging::ProcessMethod::TextMode : imaging::ProcessMethod::PictureMode};
}

const QString kConvertUsage = QStringLiteral(
    "convert IMAGE OUT.bmp [--fit trim|stretch|aspect] [--mode text|picture] [--threshold N] [--crop X,Y]");

int convert(Context& context, const QStringList& given)
{
    QStringList arguments = given;
    const std::optional<FitChoice> choice = takeFitChoice(arguments);
    const std::optional<QString> thresholdText = takeOption(arguments, QStringLiteral("--threshold"));
    const QStringList crop = takeOption(arguments, QStringLiteral("--crop")).value_or(QStringLiteral("0,0")).split(u',');
    const std::optional<int> threshold = thresholdText ? numberIn(*thresholdText, 1, 254) : std::optional<int>(-1);
    const std::optional<int> cropX = numberIn(crop.value(0), 0, imaging::kMaxPictureSide);
    const std::optional<int> cropY = numberIn(crop.value(1), 0, imaging::kMaxPictureSide);
    if (arguments.size() != 2 || !choice || !threshold || crop.size() != 2 || !cropX || !cropY)
        return usageOf(context, kConvertUsage);

    const imaging::DecodedImage decoded = imaging::decodeImageFile(arguments[0], context.edition.ledCount);
    if (!decoded.ok()) {
        context.err << messages::lookupMessage(msg::ImportFileOpenError) << '\n' << decoded.errorText << '\n';
        return 1;
    }
    const QSize canvas(context.edition.maxBannerWidth, context.edition.ledCount);
    imaging::ImportChoice settings;
    settings.fit = choice->fit;
    settings.method = choice->method;
    settings.threshold = *threshold;
    settings.origin = QPoint(*cropX, *cropY);
    const imaging::ImportResult imported = imaging::importImage(decoded.image, settings, canvas);
    const int used = imported.threshold;
    const QString& target = arguments[1];
    switch (files::writeOutputFile(target, imaging::encodeBmp(imported.grid))) {
    case files::OutputResult::Written:
        break;
    case files::OutputResult::NotAFile:
        context.err << messages::formatMessage(msg::OutputNotAFile, target.toUtf8().constData()) << '\n';
        return 1;
    case files::OutputResult::Failed:
        context.err << QStringLiteral("Unable to write to %1").arg(target) << '\n';
        return 1;
    }
    // The picture itself may be what standard output carries.
    QTextStream& report = target == QLatin1String(files::kStandardOutputName) ? context.err : context.out;
    report << target << ": " << canvas.width() << " x " << canvas.height() << ", threshold " << used << '\n';
    return 0;
}

const QString kBannerUsage =
    QStringLiteral("banner TEXT [--font FAMILY] [--wrap] [--align] [--no-fit --size N] [--project NAME]");

int banner(Context& context, const QStringList& given)
{
    QStringList arguments = given;
    QFont font = imaging::defaultTextFont();
    if (const std::optional<QString> family = takeOption(arguments, QStringLiteral("--font")))
        font.setFamily(*family);
    imaging::BannerOptions options;
    options.wrapText = takeSwitch(arguments, QStringLiteral("--wrap"));
    options.autoAlign = takeSwitch(arguments, QStringLiteral("--align"));
    options.autoFit = !takeSwitch(arguments, QStringLiteral("--no-fit"));
    const std::optional<QString> sizeText = takeOption(arguments, QStringLiteral("--size"));
    const std::optional<int> size = sizeText ? numberIn(*sizeText, 1, 72) : std::optional<int>(imaging::kFirstTextSize);
    const QString projectName = takeOption(arguments, QStringLiteral("--project")).value_or(QStringLiteral("QuickStart"));
    if (arguments.size() != 1 || !size || (sizeText && options.autoFit))
        return usageOf(context, kBannerUsage);
    font.setPointSize(*size);
    const int ledCount = context.edition.ledCount;
    const QString text = arguments[0];
    if (text.size() > imaging::bannerTextLimit(ledCount)) {
        context.err << "The text is longer than " << imaging::bannerTextLimit(ledCount)
                    << " characters, the most a banner of this edition takes.\n";
        return 1;
    }
    if (options.wrapText && !imaging::offersLayoutChoice(ledCount)) {
        context.err << "--wrap needs a stick of 17 LEDs or more.\n";
        return 2;
    }

    imaging::BannerComposer composer(QSize(context.edition.maxBannerWidth, ledCount));
    const imaging::Banner made = composer.compose(text, font, options);
    store::ProjectList projects(context.workspace.projectsFolder);
    projects.listProjects();
    if (!projects.selectProjectByName(projectName)) {
        context.err << messages::lookupMessage(msg::NoProjectSelected) << '\n';
        return 1;
    }
    deviceimage::KeptBanner kept;
    kept.status = deviceimage::BannerStatus::BlankText;
    if (made.drawn)
        kept = deviceimage::keepBanner({context.edition, context.workspace, context.simplifiedMode},
                                       *projects.current(), made.grid(), text, font.family(), true);
    switch (kept.status) {
    case deviceimage::BannerStatus::Kept:
        context.out << kept.fileName << '\n' << "free bytes: " << kept.freeBytes << '\n';
        return 0;
    case deviceimage::BannerStatus::BlankText:
        context.err << "Nothing to save: the text has no visible character.\n";
        return 1;
    case deviceimage::BannerStatus::StickTooSmall:
        context.err << deviceimage::stickTooSmallText(ledCount) << '\n';
        return 1;
    case deviceimage::BannerStatus::WriteFailed:
    case deviceimage::BannerStatus::NotAppended:
        context.err << kept.errorText << '\n';
        return 1;
    }
    return 1;
}

const QString kImportGifUsage =
    QStringLiteral("import-gif FILE [--project NAME] [--fit trim|stretch|aspect] [--mode text|picture]");

// The frames go into the library named like the project, as the binary import files its pictures.
int importGif(Context& context, const QStringList& given)
{
    QStringList arguments = given;
    const std::optional<FitChoice> choice = takeFitChoice(arguments);
    const QString projectName = takeOption(arguments, QStringLiteral("--project")).value_or(QStringLiteral("QuickStart"));
    if (arguments.size() != 1 || !choice || projectName.isEmpty())
        return usageOf(context, kImportGifUsage);
    store::ProjectList projects(context.workspace.projectsFolder);
    projects.listProjects();
    if (!projects.selectProjectByName(projectName)) {
        context.err << messages::lookupMessage(msg::NoProjectSelected) << '\n';
        return 1;
    }
    imaging::ImportChoice settings;
    settings.fit = choice->fit;
    settings.method = choice->method;
    const deviceimage::AnimationImport imported =
        deviceimage::importAnimation({context.edition, context.workspace, context.simplifiedMode}, *projects.current(),
                                     projectName, arguments[0], settings);
    if (!imported.ok()) {
        context.err << imported.errorText << '\n';
        return 1;
    }
    context.out << imported.frames << " frames as group " << imported.group << " of " << projectName << ": "
                << imported.baseName << "_000.bmp ..., interval " << imported.groupInterval << '\n';
    return 0;
}

// An SVG drawing may hold text, which needs the platform's fonts.
const Registration convertRegistration{{QStringLiteral("convert"), kConvertUsage, convert, true}};
const Registration bannerRegistration{{QStringLiteral("banner"), kBannerUsage, banner, true}};
const Registration importGifRegistration{{QStringLiteral("import-gif"), kImportGifUsage, importGif}};

} // namespace
} // namespace ctl
