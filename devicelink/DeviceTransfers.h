#pragma once

#include "devicelink/DownloadRecord.h"
#include "devicelink/Transport.h"

#include <QByteArray>
#include <QString>
#include <functional>
#include <optional>

namespace messages {
class Prompter;
}

// Download, read-back and verify: the transfers of the download dialog, free of any window so that the dialog and
// lumiwandctl run the same code. Messages go through the Prompter, the look of the window through a TransferView.
// The class is kept in three files: DeviceTransfers.cpp (construction and how a failed command ends),
// DownloadCommands.cpp and ReadBackCommands.cpp (Read Data and verify).
namespace devicelink {

struct TransferSettings {
    int ledCount = 32;
    bool factoryMode = false;
    bool simplifiedMode = false;
    bool easyMode = false;
    QString projectsFolder; // ends with "/"
    // The workspace's record of downloads not yet confirmed (DownloadRecord); empty: none is kept.
    QString downloadRecordFile;
};

// What the import hook did. It has told the user why when it did not import.
enum class ImportOutcome {
    Done,
    Refused,     // the image holds nothing importable; nothing was written
    WriteFailed, // a file could not be written
};

// What the transfers need from the program around them: the current project and the image compiler and importer.
// Every hook may be left empty; an empty hook does nothing and returns an empty value.
struct ProjectHooks {
    // The current project's file; empty when there is no current project or it has no file.
    std::function<QString()> currentProjectPath;
    // The current project's entry text in the project selector, "Demo (16 x 16)"; empty without one.
    std::function<QString()> currentEntryText;
    // The image length the last count of the current project published.
    std::function<int()> countedTotal;
    // The current project's image built for a device type; empty when none can be built, and then the hook has
    // told the user why (no picture included, a refusal, a failed catalogue write).
    std::function<QByteArray(int deviceType)> buildImage;
    // Turns an image into pictures: into the project of the given name (created when missing), or, with
    // mergeIntoCurrent, only the indelible pictures the current project does not hold yet. The hook tells the
    // user why it did not import.
    std::function<ImportOutcome(const QByteArray& image, const QString& projectName, bool mergeIntoCurrent, int deviceType)>
        importImage;
    // "Group %d \n" for each movie group of the current project with one picture only; empty when none.
    std::function<QString()> singleMemberGroups;
    // Recounts the current project and refreshes the figures shown for it.
    std::function<void()> refreshProjectsPage;
    // Selects a project by name in the project selector and rebuilds its entry list.
    std::function<void(const QString& name)> selectProjectByName;
    std::function<void()> loadEntryList;
    // Shown an image read from a stick before it is imported (the show preview); false leaves it out of the
    // projects. Empty: every image read is imported.
    std::function<bool(const QByteArray& image, int deviceType)> reviewReadBack;
};

// How a transfer shows itself. The dialog changes its controls; lumiwandctl prints a progress line.
class TransferView {
public:
    virtual ~TransferView() = default;
    virtual void setProgress(int /*percent 0..100*/) {}
    // The busy look: the two busy labels instead of the selector, its label and "Refresh".
    virtual void setBusyLook(bool /*busy*/) {}
    virtual void setWaitCursor(bool /*waiting*/) {}
    virtual void setCaption(unsigned /*messageId*/) {}
    virtual void bringToFront() {}
    // The dialog closes itself (simplified, not easy mode, after a transfer).
    virtual void closeDialog() {}
};

// How the read of a stick's header ended.
enum class HeaderOutcome {
    Read,          // the header blocks are in the read buffer; the read transfer stays open for readRest
    NoImage,       // the memory holds no image (erased, or a header that does not add up); the transfer is closed
    WrongLedCount, // message 745 shown; the transfer is closed
    Broken,        // the sign-on, a command or a reply failed; message 498 shown; the transfer is closed
    Stopped,       // asked to stop (requestStop, interrupted); the transfer is closed, nothing shown
};

// What readHeader learned; bytesRead is 0 unless the outcome is Read.
struct HeaderRead {
    HeaderOutcome outcome = HeaderOutcome::Broken;
    int bytesRead = 0;
    int total = 0;
    int deviceType = 0;
};

class DeviceTransfers {
public:
    static constexpr int kWorkAreaSize = 65536;

    DeviceTransfers(Transport& transport, messages::Prompter& prompter, TransferView& view, ProjectHooks hooks,
                    TransferSettings settings);

    // The commands. Each returns true only when it ended with its success message. A command started while a
    // transfer runs (its waits pump the event queue, so buttons can be pressed) does nothing and returns false.
    bool download();
    bool readData();
    bool verify();
    // Reruns discovery into the selector; does nothing while a transfer runs.
    bool refresh();

    bool isRunning() const { return running_; }

    // Dialog state shared with the window.
    bool closeRequested = false;
    bool verifyTicked = false; // the hidden "Write and Read Verify" check box
    // Asked between blocks; true ends the running transfer there, closing it as the stick expects (lumiwandctl
    // answers from its SIGINT and SIGTERM handlers).
    std::function<bool()> interrupted;
    // Asks the running transfer to stop at the next block: the stick gets its closing commands and is released, a
    // download's image stays recorded as unfinished, and the command returns false without a message. Cancel and
    // the close box of the dialog call it; it is forgotten when the next command starts.
    void requestStop() { stopAsked_ = running_; }
    bool stopRequested() const { return stopAsked_ || (interrupted && interrupted()); }
    DownloadRecord downloadRecord() const { return DownloadRecord(settings_.downloadRecordFile); }

    // What the stick's identity letter said in the last transfer that asked it; nullopt before any.
    const std::optional<DeviceIdentity>& identity() const { return identity_; }
    const QByteArray& readBuffer() const { return readBuffer_; }
    const QByteArray& builtImage() const { return builtImage_; }
    Transport& transport() { return transport_; }
    const TransferSettings& settings() const { return settings_; }
    void setSettings(const TransferSettings& settings) { settings_ = settings; }
    ProjectHooks& hooks() { return hooks_; }

private:
    // The steps of a download.
    bool startDownload();
    bool keepIndelible(int& progressBase);
    std::optional<DeviceIdentity> openWrite();
    bool buildFor(const DeviceIdentity& identity);
    bool writeBlocks(int progressBase);
    bool finishDownload(bool written, qint64 startTick);
    bool stopWrite(bool close);

    bool runReadData();
    // The read-mode transfer's first part: sign-on, identity, header blocks. Before a download, memory that holds
    // no image is no error (nothing indelible to keep) and is not reported.
    enum class HeaderUse { Report, BeforeDownload };
    HeaderRead readHeader(HeaderUse use);
    // Reads `count` more bytes (whole blocks of 16) into the read buffer at `offset`, moving the progress from
    // `firstProgress` towards `lastProgress`, then closes the read transfer.
    bool readRest(int offset, int count, int firstProgress, int lastProgress);
    bool closeRead();
    // The stick could not be opened and grabbed: one message saying why, and the command ends.
    bool failToOpen(unsigned titleId, OpenStatus status);
    // Notes the image as being written before its first block; false (told) when the note cannot be kept.
    bool recordDownload();
    void forgetDownload();
    // The device path of the stick the transfer runs on.
    QString stickPath() const;
    // Reads one block of 16 typed bytes into the read buffer; false when the command or its reply failed.
    bool readBlockInto(int offset);
    bool simplifiedNotEasy() const { return settings_.simplifiedMode && !settings_.easyMode; }
    void idleLook();
    // Ends a command that failed: normal cursor, check box unticked, idle look, closeRequested when asked, and
    // message 498 (once) when a title is given. Returns false.
    bool abandon(bool requestClose, unsigned brokenTitleId = 0);
    void fail(unsigned titleId, unsigned textId);
    void failText(unsigned titleId, const QString& text);
    // Message 498 for a broken connection, at most once per command, wherever the connection broke (also at a
    // sign-on, a closing pair or the checksum request).
    void reportBroken(unsigned titleId);
    void reportNoDevice(unsigned titleId);
    bool chooseTargetName(QString& name);
    void storeTypedBytes(const QString& reply, int offset);

    Transport& transport_;
    messages::Prompter& prompter_;
    TransferView& view_;
    ProjectHooks hooks_;
    TransferSettings settings_;
    QByteArray readBuffer_;
    QByteArray builtImage_;
    QString projectName_;        // of the download running
    std::optional<DeviceIdentity> identity_;
    bool running_ = false;
    bool brokenReported_ = false;
    bool stopAsked_ = false;
};

} // namespace devicelink
