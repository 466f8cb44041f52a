// Import of a photograph-like 6000 x 4000 JPEG (24 million pixels, just under the importer's limit) up to the lit
// grid of the 16-LED canvas, in each fit mode, against libjpeg decoding the same file into one reusable row
// buffer (and djpeg to a null sink, where it is installed). Goals: at most 1.5 times the decode, and at most
// 30 MiB resident for `lumiwandctl convert` of the file. Also the text-to-banner preview rebuild of a 40-character
// text on 48 LEDs with the two-line search. Goal: a median of at most 30 ms.

#include "BenchSupport.h"

#include "imaging/Fonts.h"
#include "imaging/ImageDecode.h"
#include "imaging/ImageImport.h"
#include "imaging/StreamedImport.h"
#include "imaging/TextBanner.h"
#include "store/Edition.h"
#include "tests/support/JpegFiles.h"

#include <QFile>
#include <QGuiApplication>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <csetjmp>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <iterator>
#include <jpeglib.h>
#include <fcntl.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

namespace {

struct JumpingErrors {
    jpeg_error_mgr base;
    std::jmp_buf jump;
};

[[noreturn]] void jumpBack(j_common_ptr info)
{
    std::longjmp(reinterpret_cast<JumpingErrors*>(info->err)->jump, 1);
}

// libjpeg alone: every row decoded into the same buffer, as djpeg does to a null sink (RGB, default settings).
bool decodeIntoOneRow(const QByteArray& jpeg, std::vector<unsigned char>& row)
{
    jpeg_decompress_struct info;
    JumpingErrors errors;
    info.err = jpeg_std_error(&errors.base);
    errors.base.error_exit = jumpBack;
    if (setjmp(errors.jump)) {
        jpeg_destroy_decompress(&info);
        return false;
    }
    jpeg_create_decompress(&info);
    jpeg_mem_src(&info, reinterpret_cast<const unsigned char*>(jpeg.constData()), static_cast<unsigned long>(jpeg.size()));
    jpeg_read_header(&info, TRUE);
    info.out_color_space = JCS_EXT_BGRX;
    jpeg_start_decompress(&info);
    row.resize(size_t(info.output_width) * 4);
    while (info.output_scanline < info.output_height) {
        JSAMPROW line = row.data();
        jpeg_read_scanlines(&info, &line, 1);
    }
    jpeg_finish_decompress(&info);
    jpeg_destroy_decompress(&info);
    return true;
}

// This benchmark started again as a small launcher: it forks and runs the command, and prints the command's peak
// resident memory in KiB. (A process started straight from the benchmark would count the benchmark's own peak,
// which the photograph it made has raised: the kernel carries that over into the child.)
int peakResidentLauncher(char* command[])
{
    const pid_t child = fork();
    if (child == 0) {
        const int null = open("/dev/null", O_WRONLY);
        dup2(null, STDOUT_FILENO);
        execv(command[0], command);
        _exit(127);
    }
    int status = 0;
    rusage usage {};
    if (child < 0 || wait4(child, &status, 0, &usage) != child || !WIFEXITED(status) || WEXITSTATUS(status) != 0)
        return 1;
    std::printf("%ld\n", usage.ru_maxrss);
    return 0;
}

// A program run to its end with its output thrown away: its peak resident memory in MiB, or -1.
double peakResidentMiB(const QStringList& command)
{
    QProcess launcher;
    launcher.start(QCoreApplication::applicationFilePath(), QStringList{QStringLiteral("--peak-resident")} + command);
    if (!launcher.waitForFinished(120000) || launcher.exitCode() != 0)
        return -1;
    return launcher.readAllStandardOutput().trimmed().toDouble() / 1024.0;
}

// This benchmark started again to decode the file alone, so its memory is measured apart from the photograph
// the benchmark made.
int decodeAloneChild(const char* path)
{
    QFile file(QString::fromLocal8Bit(path));
    if (!file.open(QIODevice::ReadOnly))
        return 1;
    std::vector<unsigned char> row;
    return decodeIntoOneRow(file.readAll(), row) ? 0 : 1;
}

} // namespace

int main(int argc, char* argv[])
{
    if (argc == 3 && std::strcmp(argv[1], "--decode-alone") == 0)
        return decodeAloneChild(argv[2]);
    if (argc > 2 && std::strcmp(argv[1], "--peak-resident") == 0)
        return peakResidentLauncher(argv + 2);
    qputenv("QT_QPA_PLATFORM", qgetenv("QT_QPA_PLATFORM").isEmpty() ? "offscreen" : qgetenv("QT_QPA_PLATFORM"));
    QGuiApplication application(argc, argv);
    imaging::installFontSubstitutions();
    using namespace imaging;

    const QByteArray jpeg = jpegOf(photoLikeImage(QSize(6000, 4000), 2024), 90);
    QTemporaryDir folder;
    const QString photoPath = folder.filePath(QStringLiteral("photo.jpg"));
    QFile photoFile(photoPath);
    if (!photoFile.open(QIODevice::WriteOnly) || photoFile.write(jpeg) != jpeg.size())
        return 1;
    photoFile.close();
    const QSize canvas(store::deriveEdition(QStringLiteral("Lumiwand16")).maxBannerWidth, 16);
    std::printf("photo: 6000 x 4000 photograph-like JPEG, %lld bytes; canvas %d x %d\n",
                static_cast<long long>(jpeg.size()), canvas.width(), canvas.height());

    // Decode and imports take turns in every round, so a busy machine slows both alike; the ratio is the median
    // of the rounds' ratios.
    const struct {
        const char* name;
        FitMode mode;
    } modes[] = {{"Trim", FitMode::Trim},
                 {"Full Screen Resize", FitMode::FullScreenResize},
                 {"Maintain Aspect Ratio", FitMode::KeepAspect}};
    constexpr int kRounds = 5;
    std::vector<unsigned char> row;
    std::vector<double> decodeTimes;
    std::vector<std::vector<double>> importTimes(std::size(modes)), ratios(std::size(modes));
    for (int round = 0; round < kRounds; ++round) {
        decodeTimes.push_back(medianMs([&] { decodeIntoOneRow(jpeg, row); }, 1));
        for (size_t m = 0; m < std::size(modes); ++m) {
            ImportChoice choice;
            choice.fit = modes[m].mode;
            importTimes[m].push_back(
                medianMs([&] { importImageData(jpeg, QStringLiteral("photo.jpg"), choice, canvas, canvas.height()); }, 1));
            ratios[m].push_back(importTimes[m].back() / decodeTimes.back());
        }
    }
    std::printf("libjpeg decode alone, into one row buffer: median %.1f ms\n", median(decodeTimes));
    for (size_t m = 0; m < std::size(modes); ++m)
        std::printf("import to %d x %d, %-22s median %.1f ms, %.2f x decode (goal <= 1.5)\n", canvas.width(),
                    canvas.height(), modes[m].name, median(importTimes[m]), median(ratios[m]));
    const double wholeMs = medianMs(
        [&] {
            ImportChoice choice;
            choice.fit = FitMode::KeepAspect;
            importImage(decodeImageData(jpeg, QStringLiteral("photo.jpg")).image, choice, canvas);
        },
        1);
    std::printf("the same through the whole decoded image (the dialog's path), Maintain Aspect Ratio: %.1f ms\n",
                wholeMs);

    // Memory: each measured in a process of its own.
    qputenv("HOME", folder.path().toLocal8Bit());
    qputenv("XDG_CONFIG_HOME", (folder.path() + QStringLiteral("/.config")).toLocal8Bit());
    const double decodeMiB =
        peakResidentMiB({QCoreApplication::applicationFilePath(), QStringLiteral("--decode-alone"), photoPath});
    std::printf("peak resident, libjpeg decode alone (this benchmark's own process): %.1f MiB\n", decodeMiB);
    const QString djpeg = QStandardPaths::findExecutable(QStringLiteral("djpeg"));
    if (!djpeg.isEmpty())
        std::printf("peak resident, djpeg to a null sink: %.1f MiB\n",
                    peakResidentMiB({djpeg, QStringLiteral("-outfile"), QStringLiteral("/dev/null"), photoPath}));
    for (const char* fit : {"trim", "stretch", "aspect"}) {
        const double convertMiB = peakResidentMiB({QStringLiteral(LUMIWANDCTL), QStringLiteral("--edition"),
                                                   QStringLiteral("16"), QStringLiteral("convert"), photoPath,
                                                   folder.filePath(QStringLiteral("out.bmp")), QStringLiteral("--fit"),
                                                   QString::fromLatin1(fit)});
        std::printf("peak resident, lumiwandctl convert --fit %-7s: %.1f MiB (goal <= 30), %.2f x the decode alone\n",
                    fit, convertMiB, convertMiB / decodeMiB);
    }

    BannerComposer composer(QSize(288, 48));
    const QString text = QStringLiteral("Happy birthday to you and all of us now!");
    BannerOptions wrap;
    wrap.wrapText = true;
    const double bannerMs = medianMs(
        [&] {
            QFont font = defaultTextFont();
            composer.compose(text, font, wrap);
        },
        15);
    std::printf("text to banner, %lld characters, two-line search, 48 LEDs: median %.1f ms (goal <= 30)\n",
                static_cast<long long>(text.size()), bannerMs);
    return 0;
}
