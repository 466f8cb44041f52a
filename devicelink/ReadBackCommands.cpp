// Read Data and verify: the read transfer (sign-on, identity, header, blocks) and what becomes of the image read.
#include "devicelink/DeviceTransfers.h"

#include "deviceimage/DeviceImage.h"
#include "devicelink/TransferCommon.h"
#include "messages/MessageCatalogue.h"
#include "messages/MessageIds.h"
#include "messages/Prompter.h"
#include "store/Names.h"

#include <QFile>

namespace devicelink {

using messages::Icon;
using namespace transfers;

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
