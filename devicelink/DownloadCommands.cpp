// The download: the checks, keeping the stick's indelible pictures, the write transfer and its checksum.
#include "devicelink/DeviceTransfers.h"

#include "deviceimage/DeviceImage.h"
#include "devicelink/TransferCommon.h"
#include "messages/MessageCatalogue.h"
#include "messages/MessageIds.h"
#include "messages/Prompter.h"
#include "store/IniFile.h"

#include <QFileInfo>

namespace devicelink {

using messages::Icon;
using namespace transfers;

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

} // namespace devicelink
