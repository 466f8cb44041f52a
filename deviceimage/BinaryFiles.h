#pragma once

#include "deviceimage/DeviceImage.h"
#include "deviceimage/ImageCompiler.h"
#include "deviceimage/ImageToProject.h"
#include "mailsender/Mail.h"
#include "messages/OutputFile.h"

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <functional>
#include <optional>

namespace messages {
class Prompter;
}
namespace store {
class ProjectList;
}

// Binary project files: a device image saved as a file (".bin" or ".lwd", the same bytes), e-mailed as
// "<project>_mail.lwd", and opened again as a project. The three commands of the Projects page speak through the
// prompter; the parts lumiwandctl uses work without it.
namespace deviceimage {

// The factory-mode device type dialog, behind a seam so the commands are tested without a window.
class DeviceTypeChooser {
public:
    virtual ~DeviceTypeChooser() = default;
    // The option chosen: 1 "Visually Inviting", 2 "Fan/Spring Stick", 3 "ROLL"; nullopt when cancelled.
    virtual std::optional<int> chooseDeviceTypeOption() = 0;
};

// Option 1 gives type 1, option 3 type 4, option 2 (and anything else) the edition's type.
int deviceTypeOfOption(int option, int ledCount);

// What the commands need from the window around them. Every member may be left empty.
struct BinaryCommandHooks {
    DeviceTypeChooser* deviceTypeChooser = nullptr; // asked in factory mode; none means option 2
    std::function<void(bool waiting)> setWaitCursor;
    // Rebuilds the entry list of the current project (with its repair) after the open command selected the
    // imported project; when empty, the command repairs the project's entries itself.
    std::function<void()> loadEntryList;
    // Hands the e-mail to the mail program; mail::sendMail when empty.
    std::function<mail::HandOver(const QString& tempFolder, const QStringList& files, const QString& subject,
                                 const QString& body)>
        sendMail;
};

// "Save as binary file" for the current project. Returns true when the file was written.
// The path an export writes: the chosen path when that file exists with the extension of the chosen type, else
// the chosen name cut before its first "." with the type's extension; empty when nothing is left of the name.
QString exportPath(const QString& chosen, const QString& extension);

bool exportBinary(store::ProjectList& projects, const ImageContext& context, messages::Prompter& prompter,
                  const BinaryCommandHooks& hooks = {});

// "email project (*.lwd) to my friends": exportFolder + "<project>_mail.lwd", handed to the mail program.
// Returns true when the mail program was started; when none took the message, the user is told where the file is.
bool emailProject(store::ProjectList& projects, const ImageContext& context, messages::Prompter& prompter,
                  const BinaryCommandHooks& hooks = {});

// The file chooser's filters for binary project files: both kinds first, then each.
QStringList binaryFileFilters();

// "Open project binary files": asks for a file and a project name, imports the file and selects the project.
// Returns the name of the project the pictures went into; empty when nothing was imported.
QString openBinary(store::ProjectList& projects, const ImageContext& context, messages::Prompter& prompter,
                   const BinaryCommandHooks& hooks = {});
// The same for a file already chosen (given on the command line): from the question for the project name on.
QString openBinaryFile(const QString& path, store::ProjectList& projects, const ImageContext& context,
                       messages::Prompter& prompter, const BinaryCommandHooks& hooks = {});
// Whether a file is one the open command takes, by its extension (.lwd or .bin, in either case).
bool isBinaryProjectFile(const QString& path);

// The open command's checks of a file, in order: it cannot be opened (689); it holds other than TotalBytes bytes
// (690; at most 65536 bytes are read); the count byte is 0 (691); the height byte, flag included, is not 16, 24,
// 32, 48 or 64 (692); TotalBytes is 0 or 0xFFFF (693). messageId is 0 when the file passed.
struct BinaryFileRead {
    QByteArray image;
    unsigned messageId = 0;
};
BinaryFileRead readBinaryFile(const QString& path);
// The same checks on a file's contents already read (standard input).
BinaryFileRead checkBinaryFile(const QByteArray& contents);
// The checks after the first on file contents already read: 0 or 690 to 693.
unsigned checkBinaryImage(const QByteArray& image);

// The type an opened file was made for, from its height: 32 gives 6, 48 gives 7, the others 3.
int deviceTypeForHeight(int height);

// The project name of a file: its file name cut before the first ".".
QString binaryProjectName(const QString& path);

// Writes the image as the whole file, replacing an old one only once the new one is complete; a link is written
// through and a FIFO or a device written directly (files::writeOutputFile).
bool writeBinaryFile(const QString& path, const QByteArray& image);

// Builds the project's image and writes it as the file at `path`, as one command: the shift values the build
// stores reach the catalogue only when the image is not refused, and are taken back when the file cannot be
// written. `written` is false for a refused or empty image and for a failed write. Throws store::IniWriteError
// when the catalogue cannot be written; no file is written then.
struct BuiltFile {
    CompileResult built;
    bool written = false;
    files::OutputResult output = files::OutputResult::Failed; // NotAFile: a folder, socket or block device
};
BuiltFile buildBinaryFile(const store::Project& project, int deviceType, const QString& path,
                          const ImageContext& context);

// Reads, checks and imports a binary file into the project `projectName` (created when missing, added to when it
// exists), without any question. The result's messageId (or errorText) says why it stopped; 689 and 693 come from
// the file checks.
ImportResult importBinaryFile(const QString& path, const QString& projectName, const ImageContext& context);
// The same for a file's contents already read.
ImportResult importBinaryContents(const QByteArray& contents, const QString& projectName, const ImageContext& context);

} // namespace deviceimage
