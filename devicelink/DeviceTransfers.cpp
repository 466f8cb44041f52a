#include "devicelink/DeviceTransfers.h"

#include "deviceimage/DeviceImage.h"
#include "messages/MessageCatalogue.h"
#include "messages/MessageIds.h"
#include "messages/Prompter.h"
#include "store/IniFile.h"
#include "store/Names.h"

#include <QFile>
#include <QFileInfo>

namespace devicelink {
namespace {

using messages::Icon;

constexpr unsigned kDownloadTitle = msg::DownloadTitle;
constexpr unsigned kReadTitle = msg::ReadDataTitle;
constexpr int kBlockNibbles = 32;
constexpr int kBlockBytes = 16;

// Clears a flag when the command ends, whichever way it ends.
class RunningFlag {
public:
    explicit RunningFlag(bool& flag) : flag_(flag) { flag_ = true; }
    ~RunningFlag() { flag_ = false; }

private:
    bool& flag_;
};

template <typename Hook, typename... Args>
auto call(const Hook& hook, Args&&... args)
{
    using Result = decltype(hook(std::forward<Args>(args)...));
    if (!hook)
        return Result();
    return hook(std::forward<Args>(args)...);
}

} // namespace

DeviceTransfers::DeviceTransfers(Transport& transport, messages::Prompter& prompter, TransferView& view,
                                 ProjectHooks hooks, TransferSettings settings)
    : transport_(transport),
      prompter_(prompter),
      view_(view),
      hooks_(std::move(hooks)),
      settings_(std::move(settings)),
      readBuffer_(kWorkAreaSize, '\0')
{
}

void DeviceTransfers::idleLook()
{
    // In the express window and the mass production tool the dialog keeps its busy look until it closes.
    view_.setBusyLook(simplifiedNotEasy());
}

bool DeviceTransfers::abandon(bool requestClose, unsigned brokenTitleId)
{
    view_.setWaitCursor(false);
    verifyTicked = false;
    idleLook();
    if (requestClose)
        closeRequested = true;
    if (brokenTitleId != 0)
        reportBroken(brokenTitleId);
    return false;
}

void DeviceTransfers::fail(unsigned titleId, unsigned textId)
{
    failText(titleId, messages::lookupMessage(textId));
}

void DeviceTransfers::failText(unsigned titleId, const QString& text)
{
    prompter_.tellText(titleId, text, Icon::Stop);
}

void DeviceTransfers::reportBroken(unsigned titleId)
{
    if (brokenReported_)
        return;
    brokenReported_ = true;
    fail(titleId, msg::ConnectionBroken);
}

void DeviceTransfers::reportNoDevice(unsigned titleId)
{
    if (transport_.selector().accessDenied)
        failText(titleId, accessDeniedMessage());
    else
        fail(titleId, msg::NoStickPluggedIn);
}

void DeviceTransfers::storeTypedBytes(const QString& reply, int offset)
{
    for (int k = 0; k < kBlockBytes; ++k) {
        if (offset + k >= readBuffer_.size())
            return;
        readBuffer_[offset + k] = static_cast<char>(decodeTypedByte(reply[2 * k], reply[2 * k + 1]));
    }
}

bool DeviceTransfers::readBlockInto(int offset)
{
    // One attempt only: the stick moves on to the next 16 bytes with every READ_BLOCK, so a block cannot be asked
    // for again.
    const std::optional<QString> block = transport_.exchangeValid(
        ReadBlock, kBlockNibbles, [](const QString& reply) { return isTypedBytes(reply, kBlockBytes); });
    if (!block || block->isEmpty())
        return false;
    storeTypedBytes(*block, offset);
    return true;
}

bool DeviceTransfers::refresh()
{
    if (running_)
        return false;
    return transport_.discoverDevices();
}

HeaderRead DeviceTransfers::readHeader(HeaderUse use)
{
    readBuffer_.fill('\0');
    transport_.keyInputField().clear();
    if (!transport_.sendSignOn(SignOnMode::Read)) {
        view_.setWaitCursor(false);
        verifyTicked = false;
        reportBroken(kReadTitle);
        return {};
    }

    // A broken exchange closes the read transfer too: the stick is never left in read mode.
    const auto broken = [this] {
        reportBroken(kReadTitle);
        transport_.sendCommandPair(EndRead);
        verifyTicked = false;
        return HeaderRead{};
    };
    transport_.sleep(kAfterSignOnPause);
    const std::optional<QString> letter = transport_.exchangeValid(Identify, 1, isIdentityReply, kReplyAttempts);
    if (!letter || letter->isEmpty())
        return broken();
    const DeviceIdentity identity = decodeIdentity(letter->at(0));
    identity_ = identity;

    if (verifyTicked)
        builtImage_ = call(hooks_.buildImage, identity.type);

    if (identity.ledCount == 0 || identity.ledCount != settings_.ledCount) {
        fail(kDownloadTitle, msg::WrongLedCount);
        // Closed as after invalid memory, so that the stick is not left in read mode.
        transport_.sendCommandPair(EndRead);
        verifyTicked = false;
        return {HeaderOutcome::WrongLedCount};
    }

    if (!readBlockInto(0))
        return broken();

    const auto noImage = [&](const QString& text) {
        if (use == HeaderUse::Report)
            failText(kReadTitle, text);
        transport_.sendCommandPair(EndRead);
        verifyTicked = false;
        return HeaderRead{HeaderOutcome::NoImage};
    };
    const deviceimage::ImageHeader header = deviceimage::readImageHeader(readBuffer_.left(kBlockBytes));
    if (!deviceimage::isStickHeight(header.height))
        return noImage(messages::lookupMessage(msg::InvalidMemoryData));
    if (identity.memory == 0 || identity.memory < header.totalBytes)
        return noImage(messages::formatMessage(msg::MemoryDamaged, identity.memory));
    if (header.totalBytes == 0)
        return noImage(messages::lookupMessage(msg::InvalidMemoryData));
    // A header longer than the image it heads is damaged memory; reading it would keep the dialog busy for up
    // to 4095 blocks.
    if (header.patternStart > header.totalBytes)
        return noImage(messages::lookupMessage(msg::InvalidMemoryData));

    int bytesRead = kBlockBytes;
    for (; bytesRead < header.patternStart; bytesRead += kBlockBytes) {
        if (stopRequested()) {
            transport_.sendCommandPair(EndRead);
            verifyTicked = false;
            return {HeaderOutcome::Stopped};
        }
        if (!readBlockInto(bytesRead))
            return broken();
        transport_.pumpEvents();
        transport_.sleep(kBetweenReadBlocks);
        transport_.pumpEvents();
    }
    return {HeaderOutcome::Read, bytesRead, header.totalBytes, identity.type};
}

bool DeviceTransfers::readRest(int offset, int count, int firstProgress, int lastProgress)
{
    // Whole blocks, truncating: a negative count that is not a multiple of 16 still reads one block.
    const int blocks = count / kBlockBytes + (count % kBlockBytes != 0 ? 1 : 0);
    bool ok = true;
    for (int i = 0; i < blocks; ++i) {
        if (stopRequested()) {
            ok = false;
            break;
        }
        if (!readBlockInto(offset + kBlockBytes * i)) {
            reportBroken(kReadTitle);
            ok = false;
            break;
        }
        view_.setProgress(firstProgress + i * (lastProgress - firstProgress) / blocks);
        transport_.pumpEvents();
        transport_.sleep(kBetweenReadBlocks);
        transport_.pumpEvents();
    }
    if (!transport_.sendCommandPair(EndRead)) {
        view_.setWaitCursor(false);
        verifyTicked = false;
        closeRequested = true;
        reportBroken(kReadTitle);
        return false;
    }
    return ok;
}

bool DeviceTransfers::closeRead()
{
    return transport_.sendCommandPair(EndRead) || abandon(true, kDownloadTitle);
}

bool DeviceTransfers::failToOpen(unsigned titleId, OpenStatus status)
{
    fail(titleId, messageId(status));
    return abandon(true);
}

QString DeviceTransfers::stickPath() const
{
    const DeviceEntry* device = transport_.selector().current();
    return device ? device->path : QString();
}

bool DeviceTransfers::recordDownload()
{
    try {
        downloadRecord().recordUnfinished(builtImage_, stickPath());
        return true;
    } catch (const store::IniWriteError& error) {
        view_.setWaitCursor(false);
        failText(kDownloadTitle, error.message());
        return false;
    }
}

void DeviceTransfers::forgetDownload()
{
    try {
        downloadRecord().clearUnfinished(builtImage_, stickPath());
    } catch (const store::IniWriteError&) {
        // Left behind, the record still never matches this image whole; the download itself has succeeded.
    }
}

bool DeviceTransfers::download()
{
    if (running_)
        return false;
    RunningFlag runningFlag(running_);
    brokenReported_ = false;
    stopAsked_ = false;
    if (!startDownload())
        return false;

    verifyTicked = false;
    view_.setWaitCursor(true);
    const qint64 startTick = transport_.tickCount();
    transport_.keyInputField().clear();
    view_.setProgress(0);

    TransferScope scope(transport_);
    if (!scope.opened())
        return failToOpen(kDownloadTitle, scope.status());
    int progressBase = 5;
    if (!settings_.factoryMode && !keepIndelible(progressBase))
        return false;
    if (stopRequested())
        return abandon(true);
    const std::optional<DeviceIdentity> identity = openWrite();
    if (!identity || !buildFor(*identity))
        return false;
    if (!recordDownload())
        return stopWrite(true);
    const bool written = writeBlocks(progressBase);
    return finishDownload(written, startTick);
}

// The checks before anything is sent: a stick, a project, and the warning about groups of one picture.
bool DeviceTransfers::startDownload()
{
    if (transport_.selector().isEmpty()) {
        reportNoDevice(kDownloadTitle);
        closeRequested = true;
        return false;
    }
    const QString projectPath = call(hooks_.currentProjectPath);
    if (!settings_.factoryMode && projectPath.isEmpty()) {
        closeRequested = true;
        return false;
    }
    projectName_ = QFileInfo(projectPath).completeBaseName();

    view_.setCaption(msg::DownloadDialogCaption);
    view_.setBusyLook(true);
    const QString lonelyGroups = call(hooks_.singleMemberGroups);
    if (!lonelyGroups.isEmpty())
        prompter_.tellText(kDownloadTitle, lonelyGroups + messages::lookupMessage(msg::SingleMemberGroup), Icon::None);
    return true;
}

// Reads what the stick holds and adds its indelible pictures to the current project, so that the download cannot
// lose them. False when the download stops (the user has been told); the read transfer is closed either way.
bool DeviceTransfers::keepIndelible(int& progressBase)
{
    const HeaderRead header = readHeader(HeaderUse::BeforeDownload);
    view_.setProgress(1);
    switch (header.outcome) {
    case HeaderOutcome::NoImage:
    case HeaderOutcome::WrongLedCount:
        return true; // nothing to keep; the write's identity check refuses a stick of another LED count
    case HeaderOutcome::Broken: // what the stick holds is unknown, so it is not overwritten
    case HeaderOutcome::Stopped:
        return abandon(true);
    case HeaderOutcome::Read:
        break;
    }
    if (deviceimage::countIndelible(readBuffer_.left(header.bytesRead)) == 0)
        return closeRead();

    const bool wholeInHeader = header.total <= header.bytesRead;
    if (wholeInHeader) {
        if (!closeRead())
            return false;
    } else {
        progressBase = 15;
        if (!readRest(header.bytesRead, header.total - header.bytesRead, 5, 15))
            return abandon(true); // told by readRest, or interrupted
    }

    const QByteArray held = readBuffer_.left(header.total);
    if (downloadRecord().isUnfinished(held)) {
        prompter_.tell(kDownloadTitle, msg::LastDownloadUnfinished, Icon::Warning);
        return true;
    }
    if (deviceimage::checkImageShape(held) != deviceimage::ImageShape::Consistent) {
        prompter_.tell(kDownloadTitle, msg::StickImageDamaged, Icon::Warning);
        return true;
    }
    // Pictures that could not be saved into the project (already told) would be lost by writing the stick.
    if (call(hooks_.importImage, held, QString(), true, header.deviceType) == ImportOutcome::WriteFailed)
        return abandon(true);
    if (wholeInHeader)
        call(hooks_.selectProjectByName, projectName_); // as named: "show" and "Show" are two projects
    call(hooks_.refreshProjectsPage);
    return true;
}

// Signs on in write mode and checks the stick's identity. nullopt when the download stops (told, write closed).
std::optional<DeviceIdentity> DeviceTransfers::openWrite()
{
    view_.setWaitCursor(true);
    if (!transport_.sendSignOn(SignOnMode::Write)) {
        abandon(true, kDownloadTitle);
        return std::nullopt;
    }
    view_.bringToFront();
    transport_.keyInputField().clear();
    const std::optional<QString> letter = transport_.exchangeValid(Identify, 1, isIdentityReply, kReplyAttempts);
    if (!letter || letter->isEmpty()) {
        // Stop here: without a letter every check below would fail again and report a second time.
        view_.setWaitCursor(false);
        reportBroken(kDownloadTitle);
        stopWrite(letter.has_value());
        return std::nullopt;
    }
    const DeviceIdentity identity = decodeIdentity(letter->at(0));
    identity_ = identity;
    // The write transfer is closed on every refusal: a stick left in write mode would take the next command's
    // nibbles as data and answer nothing until it is plugged in again. An unknown letter has no memory at all.
    view_.setWaitCursor(false);
    if (identity.memory == 0) {
        failText(kDownloadTitle, messages::formatMessage(msg::MemoryTooSmall, identity.memory));
        stopWrite(true);
        return std::nullopt;
    }
    if (identity.type == 0) {
        reportBroken(kDownloadTitle);
        stopWrite(true);
        return std::nullopt;
    }
    if (identity.ledCount == 0 || identity.ledCount != settings_.ledCount) {
        fail(kDownloadTitle, msg::WrongLedCount);
        stopWrite(true);
        return std::nullopt;
    }
    view_.setWaitCursor(true);
    return identity;
}

// Builds the image for the stick once; the memory check, the blocks, the checksum and the success message all use
// it.
bool DeviceTransfers::buildFor(const DeviceIdentity& identity)
{
    builtImage_ = call(hooks_.buildImage, identity.type);
    if (builtImage_.isEmpty()) {
        view_.setWaitCursor(false);
        return stopWrite(true); // the hook has said why
    }
    if (identity.memory < builtImage_.size()) {
        view_.setWaitCursor(false);
        failText(kDownloadTitle, messages::formatMessage(msg::MemoryTooSmall, identity.memory));
        return stopWrite(true);
    }
    return true;
}

// Sends the image in blocks of 32 nibbles, high nibble first, each acknowledged with a typed "Y"; the last block
// is padded with zero nibbles. False at the first failed write, bad acknowledgement or interruption.
bool DeviceTransfers::writeBlocks(int progressBase)
{
    KeyInputField& field = transport_.keyInputField();
    const qsizetype nibbles = 2 * builtImage_.size();
    const qsizetype blocks = (nibbles + kBlockNibbles - 1) / kBlockNibbles;
    const qsizetype totalNibbles = blocks * kBlockNibbles;
    for (qsizetype b = 0; b < blocks; ++b) {
        if (stopRequested() || !transport_.sendNibble(WriteBlock)) {
            if (b == 0)
                forgetDownload(); // nothing of the image reached the stick
            return false;
        }
        for (int j = 0; j < kBlockNibbles; ++j) {
            field.clear();
            const qsizetype position = kBlockNibbles * b + j;
            view_.setProgress(progressBase + static_cast<int>((100 - progressBase) * position / totalNibbles));
            if (!transport_.sendNibble(position < nibbles ? nibbleAt(builtImage_, position) : 0))
                return false;
        }
        field.clear();
        transport_.pumpEvents();
        transport_.waitForReply(1);
        if (!field.upperCase().contains(u'Y'))
            return false;
    }
    return true;
}

// Compares the stick's checksum with the image's, closes the write transfer and says how it went.
bool DeviceTransfers::finishDownload(bool written, qint64 startTick)
{
    KeyInputField& field = transport_.keyInputField();
    field.clear();
    transport_.pause();

    bool verified = false;
    bool checksumDiffers = false;
    if (written) {
        // The stick types the same sum each time it is asked, so a reply that is no checksum is asked for again.
        const std::optional<QString> reply = transport_.exchangeValid(
            GetChecksum, 4, [](const QString& typed) { return isTypedBytes(typed, 2); }, kReplyAttempts);
        if (!reply)
            return abandon(false, kDownloadTitle);
        if (const QString& typed = *reply; !typed.isEmpty()) {
            const int sum = 256 * decodeTypedByte(typed[0], typed[1]) + decodeTypedByte(typed[2], typed[3]);
            verified = sum == deviceimage::imageChecksum(builtImage_);
            checksumDiffers = !verified;
        }
    }
    // An interrupted download is no failure to report: the user asked for it.
    const bool interruptedHere = !written && stopRequested();
    if (verified)
        forgetDownload();
    else if (checksumDiffers)
        fail(kDownloadTitle, msg::VerificationError);
    else if (!interruptedHere)
        reportBroken(kDownloadTitle);

    if (!transport_.sendCommandPair(EndWrite))
        return abandon(true, interruptedHere ? 0 : kDownloadTitle);

    view_.setProgress(100);
    view_.setWaitCursor(false);
    idleLook();
    if (verified) {
        const auto seconds = static_cast<unsigned>((transport_.tickCount() - startTick) / 1000);
        prompter_.tellText(kDownloadTitle, messages::formatMessage(msg::DownloadDone, int(builtImage_.size()), seconds),
                           Icon::Information);
    }
    if (simplifiedNotEasy())
        view_.closeDialog();
    return verified;
}

// Ends a download refused after the write sign-on, closing the write transfer when it was opened.
bool DeviceTransfers::stopWrite(bool close)
{
    if (close)
        transport_.sendCommandPair(EndWrite);
    return abandon(true);
}

bool DeviceTransfers::readData()
{
    if (running_)
        return false;
    return runReadData();
}

bool DeviceTransfers::verify()
{
    if (running_)
        return false;
    verifyTicked = true;
    view_.setCaption(msg::VerifyCaption);
    return runReadData();
}

bool DeviceTransfers::chooseTargetName(QString& name)
{
    QString fallback = call(hooks_.currentEntryText);
    const qsizetype bracket = fallback.indexOf(u'(');
    if (bracket >= 0)
        fallback.truncate(bracket);
    while (fallback.endsWith(u' '))
        fallback.chop(1);

    if (settings_.simplifiedMode) {
        name = fallback;
        if (store::isUsableProjectName(name))
            return true;
        prompter_.tell(kReadTitle, msg::InvalidFileName, Icon::Stop);
        return false;
    }
    for (;;) {
        const std::optional<QString> answer =
            prompter_.inputText(messages::lookupMessage(msg::ReadDataProjectTitle),
                                messages::lookupMessage(msg::AskReadDataProjectName), fallback);
        if (!answer)
            return false;
        QString chosen = *answer;
        if (store::isNoName(chosen))
            chosen = fallback;
        if (!store::isUsableProjectName(chosen)) {
            prompter_.tell(kReadTitle, msg::InvalidFileName, Icon::Stop);
            continue;
        }
        if (chosen == fallback || !QFile::exists(settings_.projectsFolder + chosen + QStringLiteral(".ini"))) {
            name = chosen;
            return true;
        }
        prompter_.tell(kReadTitle, msg::ReadDataProjectExists, Icon::Information);
    }
}

bool DeviceTransfers::runReadData()
{
    RunningFlag runningFlag(running_);
    brokenReported_ = false;
    stopAsked_ = false;

    if (transport_.selector().isEmpty()) {
        reportNoDevice(kDownloadTitle);
        closeRequested = true;
        verifyTicked = false; // else the next Read Data would compare instead of reading
        return false;
    }

    QString targetName;
    if (!verifyTicked && !chooseTargetName(targetName)) {
        verifyTicked = false;
        closeRequested = true;
        return false;
    }

    view_.setWaitCursor(true);
    const qint64 startTick = transport_.tickCount();
    // Verify has already set its own caption.
    if (!verifyTicked)
        view_.setCaption(msg::ReadBackCaption);
    view_.setBusyLook(true);
    view_.setProgress(0);

    TransferScope scope(transport_);
    if (!scope.opened())
        return failToOpen(kReadTitle, scope.status());
    const HeaderRead header = readHeader(HeaderUse::Report);
    if (header.outcome != HeaderOutcome::Read)
        return abandon(true);

    const int remaining = header.total >= 16 ? header.total - header.bytesRead : header.total;
    const bool readOk = readRest(header.bytesRead, remaining, 5, 100);
    view_.setProgress(100);

    bool success = false;
    if (readOk) {
        const int seconds = static_cast<int>((transport_.tickCount() - startTick) / 1000);
        if (verifyTicked) {
            const QByteArray read = readBuffer_.left(header.total);
            const bool equal = builtImage_.size() >= header.total && builtImage_.left(header.total) == read;
            prompter_.tellText(
                kReadTitle,
                messages::formatMessage(equal ? msg::ReadAndVerifyOk : msg::VerifyMismatch, header.total, seconds),
                equal ? Icon::Information : Icon::Stop);
            success = equal;
        } else if (downloadRecord().isUnfinished(readBuffer_.left(header.total))) {
            // The beginning of a download that stopped over the stick's earlier content: no pictures to be had.
            prompter_.tell(kReadTitle, msg::UnfinishedImageNotRead, Icon::Stop);
            targetName.clear();
        } else if (hooks_.reviewReadBack &&
                   !hooks_.reviewReadBack(readBuffer_.left(header.total), header.deviceType)) {
            targetName.clear(); // left out by the user: no project was made or changed
        } else {
            // An image that could not become a project has been reported by the import; it is no success.
            if (call(hooks_.importImage, readBuffer_.left(header.total), targetName, false, header.deviceType)
                == ImportOutcome::Done) {
                prompter_.tellText(kReadTitle, messages::formatMessage(msg::ReadDataOk, header.total, seconds),
                                   Icon::Information);
                success = true;
            }
        }
    }

    idleLook();
    verifyTicked = false;
    view_.setWaitCursor(false);
    if (!targetName.isEmpty()) {
        call(hooks_.selectProjectByName, targetName);
        call(hooks_.loadEntryList);
    }
    if (simplifiedNotEasy())
        view_.closeDialog();
    return success;
}

} // namespace devicelink
