// convert, banner and import-gif: the image importer and the text-to-banner dialog without a window.

#include "app/ctl/Command.h"
#include "app/ctl/Console.h"
#include "deviceimage/AnimationImport.h"
#include "deviceimage/BannerSave.h"
#include "imaging/ImageDecode.h"
#include "imaging/ImageImport.h"
#include "imaging/PictureFile.h"
#include "imaging/StreamedImport.h"
#include "imaging/TextBanner.h"
#include "messages/MessageCatalogue.h"
#include "messages/MessageIds.h"
#include "messages/OutputFile.h"
#include "messages/Status.h"
#include "store/ProjectList.h"

#include <QFile>
#include <QFileInfo>

#include <optional>

namespace ctl {
namespace {

std::optional<int> numberIn(const QString& text, int lowest, int highest)
{
    bool ok = false;
    const int number = text.toInt(&ok);
    return ok && number >= lowest && number <= highest ? std::optional<int>(number) : std::nullopt;
}

const QStringList kFits{QStringLiteral("trim"), QStringLiteral("stretch"), QStringLiteral("aspect")};
// Standard input is read up to this size: a BMP of the 25 million pixels the importer takes, with room to spare.
constexpr qint64 kMaxStandardInput = 128 * 1024 * 1024;

// --fit and --mode, as convert and import-gif spell them; nullopt for a value neither knows.
struct FitChoice {
    imaging::FitMode fit = imaging::FitMode::Trim;
    imaging::ProcessMethod method = imaging::ProcessMethod::TextMode;
};
std::optional<FitChoice> fitChoice(const Invocation& invocation)
{
    const QString fit = invocation.value(QStringLiteral("fit")).value_or(QStringLiteral("trim"));
    const QString mode = invocation.value(QStringLiteral("mode")).value_or(QStringLiteral("text"));
    if (!kFits.contains(fit) || (mode != "text" && mode != "picture"))
        return std::nullopt;
    return FitChoice{imaging::FitMode(kFits.indexOf(fit)),
                     mode == "text" ? imaging::ProcessMethod::TextMode : imaging::ProcessMethod::PictureMode};
}

const Option kFitOption{QStringLiteral("fit"), QStringLiteral("trim|stretch|aspect"),
                        QStringLiteral("Crop the image as it is (default), stretch it to the canvas, or scale it "
                                       "keeping its aspect ratio.")};
const Option kModeOption{QStringLiteral("mode"), QStringLiteral("text|picture"),
                         QStringLiteral("A threshold (default) or error diffusion for photographs.")};
const Option kProjectOption{QStringLiteral("project"), QStringLiteral("NAME"),
                            QStringLiteral("Append to the project NAME instead of QuickStart.")};

// The image file's contents, or standard input's for "-" (empty, and so refused by the decoder, when it is more
// than a picture could be).
imaging::ImageFileRead readInput(const QString& path)
{
    if (path != kStandardStream)
        return imaging::readImageFile(path);
    QFile input;
    if (!input.open(stdin, QIODevice::ReadOnly))
        return {};
    const QByteArray contents = input.read(kMaxStandardInput + 1);
    return {contents.size() > kMaxStandardInput ? QByteArray() : contents, {}};
}

int convert(Context& context, const Invocation& invocation)
{
    const QStringList& arguments = invocation.arguments;
    const std::optional<FitChoice> choice = fitChoice(invocation);
    const std::optional<QString> thresholdText = invocation.value(QStringLiteral("threshold"));
    const QStringList crop = invocation.value(QStringLiteral("crop")).value_or(QStringLiteral("0,0")).split(u',');
    const std::optional<int> threshold = thresholdText ? numberIn(*thresholdText, 1, 254) : std::optional<int>(-1);
    const std::optional<int> cropX = numberIn(crop.value(0), 0, imaging::kMaxPictureSide);
    const std::optional<int> cropY = numberIn(crop.value(1), 0, imaging::kMaxPictureSide);
    if (!choice || !threshold || crop.size() != 2 || !cropX || !cropY)
        return usageOf(context, QStringLiteral("convert"));

    const QSize canvas(context.edition.maxBannerWidth, context.edition.ledCount);
    imaging::ImportChoice settings;
    settings.fit = choice->fit;
    settings.method = choice->method;
    settings.threshold = *threshold;
    settings.origin = QPoint(*cropX, *cropY);
    // The picture is decoded straight into the fit: a large photograph is never held whole.
    const imaging::ImageFileRead input = readInput(arguments[0]);
    const imaging::StreamedImport streamed =
        input.ok() ? imaging::importImageData(input.contents, QFileInfo(arguments[0]).fileName(), settings, canvas,
                                              context.edition.ledCount)
                   : imaging::StreamedImport{{}, input.errorText};
    if (!streamed.ok()) {
        context.err << messages::lookupMessage(msg::ImportFileOpenError) << '\n' << streamed.errorText << '\n';
        return 1;
    }
    const imaging::ImportResult& imported = streamed.result;
    const int used = imported.threshold;
    const QString& target = arguments[1];
    const files::OutputResult written = files::writeOutputFile(target, imaging::encodeBmp(imported.grid));
    if (!messages::succeeded(written)) {
        context.err << messages::formatMessage(messageId(written), qUtf8Printable(target)) << '\n';
        return 1;
    }
    // The picture itself may be what standard output carries.
    QTextStream& report = target == QLatin1String(files::kStandardOutputName) ? context.err : context.out;
    report << target << ": " << canvas.width() << " x " << canvas.height() << ", threshold " << used << '\n';
    return 0;
}

int banner(Context& context, const Invocation& invocation)
{
    QFont font = imaging::defaultTextFont();
    if (const std::optional<QString> family = invocation.value(QStringLiteral("font")))
        font.setFamily(*family);
    imaging::BannerOptions options;
    options.wrapText = invocation.isSet(QStringLiteral("wrap"));
    options.autoAlign = invocation.isSet(QStringLiteral("align"));
    options.autoFit = !invocation.isSet(QStringLiteral("no-fit"));
    const std::optional<QString> sizeText = invocation.value(QStringLiteral("size"));
    const std::optional<int> size = sizeText ? numberIn(*sizeText, 1, 72) : std::optional<int>(imaging::kFirstTextSize);
    const QString projectName = invocation.value(QStringLiteral("project")).value_or(QStringLiteral("QuickStart"));
    if (!size || (sizeText && options.autoFit))
        return usageOf(context, QStringLiteral("banner"));
    font.setPointSize(*size);
    const int ledCount = context.edition.ledCount;
    const QString text = invocation.arguments[0];
    if (text.size() > imaging::bannerTextLimit(ledCount)) {
        context.err << messages::formatMessage(msg::BannerTextTooLong, imaging::bannerTextLimit(ledCount)) << '\n';
        return 1;
    }
    if (options.wrapText && !imaging::offersLayoutChoice(ledCount)) {
        context.err << messages::lookupMessage(msg::WrapNeedsTallStick) << '\n';
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
        context.err << messages::lookupMessage(msg::NothingToSave) << '\n';
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

// The frames go into the library named like the project, as the binary import files its pictures.
int importGif(Context& context, const Invocation& invocation)
{
    const std::optional<FitChoice> choice = fitChoice(invocation);
    const QString projectName = invocation.value(QStringLiteral("project")).value_or(QStringLiteral("QuickStart"));
    if (!choice || projectName.isEmpty())
        return usageOf(context, QStringLiteral("import-gif"));
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
                                     projectName, invocation.arguments[0], settings);
    if (!imported.ok()) {
        context.err << imported.errorText << '\n';
        return 1;
    }
    context.out << imported.frames << " frames as group " << imported.group << " of " << projectName << ": "
                << imported.baseName << "_000.bmp ..., interval " << imported.groupInterval << '\n';
    return 0;
}

const Registration convertRegistration{
    {QStringLiteral("convert"), QStringLiteral("IMAGE OUT.bmp"),
     QStringLiteral("Turn a BMP or JPEG image into the edition's one-bit picture, as the import dialog's OK would; "
                    "\"-\" reads standard input or writes standard output."),
     {kFitOption, kModeOption,
      {QStringLiteral("threshold"), QStringLiteral("N"),
       QStringLiteral("The threshold, 1 lighter to 254 darker; automatic when left out.")},
      {QStringLiteral("crop"), QStringLiteral("X,Y"), QStringLiteral("Where the cropped canvas starts in the image.")}},
     convert}};
const Registration bannerRegistration{
    {QStringLiteral("banner"), QStringLiteral("TEXT"),
     QStringLiteral("Turn the text into a banner fitted to the LED height, save it as TEXT.bmp and append it to a "
                    "project."),
     {{QStringLiteral("font"), QStringLiteral("FAMILY"), QStringLiteral("Draw with the font FAMILY.")},
      {QStringLiteral("wrap"), {}, QStringLiteral("Two lines of text (from 17 LEDs on).")},
      {QStringLiteral("align"), {}, QStringLiteral("Spread the characters over the banner.")},
      {QStringLiteral("no-fit"), {}, QStringLiteral("Keep the size given by --size instead of fitting the text.")},
      {QStringLiteral("size"), QStringLiteral("N"), QStringLiteral("The font size in points, 1 to 72, with --no-fit.")},
      kProjectOption},
     banner, true}};
const Registration importGifRegistration{
    {QStringLiteral("import-gif"), QStringLiteral("FILE"),
     QStringLiteral("Turn an animated GIF into one movie group appended to a project."),
     {kProjectOption, kFitOption, kModeOption},
     importGif}};

} // namespace
} // namespace ctl
