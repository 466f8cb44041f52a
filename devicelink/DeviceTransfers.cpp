#include "devicelink/DeviceTransfers.h"

#include "messages/MessageCatalogue.h"
#include "messages/Prompter.h"
#include "store/Names.h"

#include <QFile>
#include <QFileInfo>

namespace devicelink {
namespace {

using messages::Icon;

constexpr unsigned kDownloadTitle = 496;
constexpr unsigned kReadTitle = 504;
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

bool validHeight(int height)
{
    return height == 16 || height == 24 || height == 32 || height == 48 || height == 64;
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
    fail(titleId, 498);
}

void DeviceTransfers::reportNoDevice(unsigned titleId)
{
    if (transport_.selector().accessDenied)
        failText(titleId, accessDeniedMessage());
    else
        fail(titleId, 497);
}

void DeviceTransfers::storeTypedBytes(const QString& reply, int offset)
{
    for (int k = 0; k < kBlockBytes; ++k) {
        if (offset + k >= readBuffer_.size())
            return;
        readBuffer_[offset + k] = static_cast<char>(decodeTypedByte(reply[2 * k], reply[2 * k + 1]));
    }
}

bool DeviceTransfers::refresh()
{
    if (running_)
        return false;
    return transport_.discoverDevices();
}

HeaderRead DeviceTransfers::readHeader()
{
    KeyInputField& field = transport_.keyInputField();
    readBuffer_.fill('\0');

    field.clear();
    if (!transport_.sendSignOn(SignOnMode::Read)) {
        view_.setWaitCursor(false);
        verifyTicked = false;
        reportBroken(kReadTitle);
        return {};
    }

    transport_.sleep(kAfterSignOnPause);
    const std::optional<QString> letter = transport_.exchange(Identify, 1);
    if (!letter || letter->isEmpty()) {
        reportBroken(kReadTitle);
        verifyTicked = false;
        return {};
    }
    const DeviceIdentity identity = decodeIdentity(letter->at(0));

    if (verifyTicked)
        builtImage_ = call(hooks_.buildImage, identity.type);

    if (identity.ledCount == 0 || identity.ledCount != settings_.ledCount) {
        fail(kDownloadTitle, 745);
        // Closed as after invalid memory, so that the stick is not left in read mode.
        transport_.sendCommandPair(EndRead);
        verifyTicked = false;
        return {};
    }

    std::optional<QString> block = transport_.exchange(ReadBlock, kBlockNibbles);
    if (!block || block->size() < kBlockNibbles) {
        reportBroken(kReadTitle);
        return {};
    }
    storeTypedBytes(*block, 0);

    const auto byteAt = [this](int i) { return static_cast<unsigned char>(readBuffer_[i]); };
    const auto closeInvalid = [this](const QString& text) {
        failText(kReadTitle, text);
        transport_.sendCommandPair(EndRead);
        verifyTicked = false;
        return HeaderRead{};
    };
    if (!validHeight(byteAt(1) & 0x7F))
        return closeInvalid(messages::lookupMessage(506));

    const int total = byteAt(2) + 256 * byteAt(3);
    if (identity.memory == 0 || identity.memory < total)
        return closeInvalid(messages::formatMessage(507, identity.memory));
    if (total == 0)
        return closeInvalid(messages::lookupMessage(506));

    int bytesRead = kBlockBytes;
    const int headerLength = byteAt(4) + 256 * byteAt(5);
    // A header longer than the image it heads is damaged memory; reading it would keep the dialog busy for up
    // to 4095 blocks.
    if (headerLength > total)
        return closeInvalid(messages::lookupMessage(506));
    if (headerLength > kBlockBytes) {
        const int more = (2 * headerLength - kBlockNibbles + kBlockNibbles - 1) / kBlockNibbles;
        for (int k = 0; k < more; ++k) {
            block = transport_.exchange(ReadBlock, kBlockNibbles);
            if (!block || block->size() < kBlockNibbles) {
                reportBroken(kReadTitle);
                return {};
            }
            storeTypedBytes(*block, bytesRead);
            bytesRead += kBlockBytes;
            transport_.pumpEvents();
            transport_.sleep(kBetweenReadBlocks);
            transport_.pumpEvents();
        }
    }
    return {bytesRead, total, identity.type};
}

bool DeviceTransfers::readRest(int offset, int count, int firstProgress, int lastProgress)
{
    // Whole blocks, truncating: a negative count that is not a multiple of 16 still reads one block.
    const int blocks = count / kBlockBytes + (count % kBlockBytes != 0 ? 1 : 0);
    bool ok = true;
    for (int i = 0; i < blocks; ++i) {
        const std::optional<QString> block = transport_.exchange(ReadBlock, kBlockNibbles);
        if (!block || block->size() < kBlockNibbles) {
            reportBroken(kReadTitle);
            ok = false;
            break;
        }
        storeTypedBytes(*block, offset + kBlockBytes * i);
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

int DeviceTransfers::countIndelible(const HeaderRead& header) const
{
    const int entries = static_cast<unsigned char>(readBuffer_[0]);
    int count = 0;
    for (int k = 0; k < entries; ++k) {
        const int highByteOfWidth = 6 + 8 * k + 1;
        if (highByteOfWidth >= header.bytesRead)
            break; // only entries that were actually read
        if (static_cast<unsigned char>(readBuffer_[highByteOfWidth]) & 0x40)
            ++count;
    }
    return count;
}

ImportOutcome DeviceTransfers::mergeIndelible(int total, int deviceType)
{
    return call(hooks_.importImage, readBuffer_.left(total), QString(), true, deviceType);
}

bool DeviceTransfers::download()
{
    if (running_)
        return false;
    RunningFlag runningFlag(running_);
    brokenReported_ = false;
    KeyInputField& field = transport_.keyInputField();

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
    const QString projectName = QFileInfo(projectPath).completeBaseName();

    view_.setCaption(639);
    view_.setBusyLook(true);
    const QString lonelyGroups = call(hooks_.singleMemberGroups);
    if (!lonelyGroups.isEmpty())
        prompter_.tellText(kDownloadTitle, lonelyGroups + messages::lookupMessage(730), Icon::None);

    verifyTicked = false;
    view_.setWaitCursor(true);
    const qint64 startTick = transport_.tickCount();
    field.clear();
    view_.setProgress(0);
    int progressBase = 5;

    TransferScope scope(transport_);

    // The indelible pictures could not be saved into the project (already told): writing the stick now would lose
    // them, so the download stops.
    const auto stopBeforeWriting = [&](bool readStillOpen) {
        if (readStillOpen)
            transport_.sendCommandPair(EndRead);
        return abandon(true);
    };

    // Keep the stick's indelible pictures: read them back and add them to the project before overwriting them.
    int indelible = 0;
    bool readOpen = true;
    bool signedOn = false; // in write mode already
    if (!settings_.factoryMode) {
        const HeaderRead header = readHeader();
        view_.setProgress(1);
        if (header.bytesRead > 0) {
            indelible = countIndelible(header);
            if (header.total > header.bytesRead && indelible > 0) {
                progressBase = 15;
                readOpen = false; // readRest closes the read transfer
                if (readRest(header.bytesRead, header.total - header.bytesRead, 5, 15)) {
                    if (mergeIndelible(header.total, header.deviceType) == ImportOutcome::WriteFailed)
                        return stopBeforeWriting(false);
                    call(hooks_.refreshProjectsPage);
                } else {
                    // The write sign-on serves as a probe: a stick still listening gets the download anyway,
                    // without a second sign-on that it would take for commands.
                    signedOn = transport_.sendSignOn(SignOnMode::Write);
                    if (!signedOn)
                        return abandon(true, kDownloadTitle);
                }
            } else if (indelible > 0) {
                if (mergeIndelible(header.total, header.deviceType) == ImportOutcome::WriteFailed)
                    return stopBeforeWriting(true);
                call(hooks_.selectProjectByName, projectName.toLower());
                call(hooks_.refreshProjectsPage);
            }
        } else {
            view_.setWaitCursor(false);
            verifyTicked = false;
        }
    }

    // Close the read transfer when it is still open, also after merging an image that the header read held
    // whole, so that the stick is in a known state before the write sign-on.
    if (readOpen && !transport_.sendCommandPair(EndRead))
        return abandon(true, kDownloadTitle);

    view_.setWaitCursor(true);
    if (!signedOn && !transport_.sendSignOn(SignOnMode::Write))
        return abandon(true, kDownloadTitle);

    const int nibbles = 2 * call(hooks_.countedTotal);
    const int blocks = (nibbles + kBlockNibbles - 1) / kBlockNibbles;

    view_.bringToFront();
    field.clear();
    const std::optional<QString> letter = transport_.exchange(Identify, 1);
    const auto stopWrite = [&](bool close) {
        if (close)
            transport_.sendCommandPair(EndWrite);
        return abandon(true);
    };
    if (!letter || letter->isEmpty()) {
        // Stop here: without a letter every check below would fail again and report a second time.
        view_.setWaitCursor(false);
        reportBroken(kDownloadTitle);
        return stopWrite(letter.has_value());
    }
    const DeviceIdentity identity = decodeIdentity(letter->at(0));
    if (identity.memory == 0 || identity.memory < nibbles / 2) {
        view_.setWaitCursor(false);
        failText(kDownloadTitle, messages::formatMessage(499, identity.memory));
        return stopWrite(true);
    }
    // The write transfer is closed on these refusals too: a stick left in write mode would take the next
    // command's nibbles as data and answer nothing until it is plugged in again.
    if (identity.type == 0) {
        view_.setWaitCursor(false);
        reportBroken(kDownloadTitle);
        return stopWrite(true);
    }
    if (identity.ledCount == 0 || identity.ledCount != settings_.ledCount) {
        view_.setWaitCursor(false);
        fail(kDownloadTitle, 745);
        return stopWrite(true);
    }

    builtImage_ = call(hooks_.buildImage, identity.type);
    if (builtImage_.isEmpty()) {
        view_.setWaitCursor(false);
        closeRequested = true; // the busy look stays until the dialog closes
        return false;
    }

    // Data: blocks of 32 nibbles, each acknowledged with a typed "Y"; the last block is padded with zero nibbles.
    quint16 sum = 0;
    bool dataOk = true;
    const qsizetype totalNibbles = static_cast<qsizetype>(blocks) * kBlockNibbles;
    for (int b = 0; b < blocks && dataOk; ++b) {
        if (!transport_.sendNibble(WriteBlock)) {
            dataOk = false;
            break;
        }
        for (int j = 0; j < kBlockNibbles; ++j) {
            field.clear();
            const int position = kBlockNibbles * b + j;
            int nibble = 0;
            if (position < nibbles) {
                const qsizetype byteIndex = position / 2;
                const auto byte = byteIndex < builtImage_.size()
                    ? static_cast<unsigned char>(builtImage_[byteIndex]) : 0;
                if (position % 2 == 0) {
                    nibble = byte >> 4;
                    sum = static_cast<quint16>(sum + byte);
                } else {
                    nibble = byte & 0x0F;
                }
            }
            view_.setProgress(progressBase + static_cast<int>((100 - progressBase) * position / totalNibbles));
            if (!transport_.sendNibble(nibble)) {
                dataOk = false;
                break;
            }
        }
        if (!dataOk)
            break;
        field.clear();
        transport_.pumpEvents();
        transport_.waitForReply(1);
        const QString acknowledgement = field.upperCase();
        if (acknowledgement.isEmpty() || !acknowledgement.contains(u'Y'))
            dataOk = false;
    }

    field.clear();
    transport_.pause();

    bool verified = false;
    bool checksumDiffers = false;
    if (dataOk) {
        if (!transport_.sendNibble(GetChecksum))
            return abandon(false, kDownloadTitle);
        transport_.waitForReply(4);
        transport_.pumpEvents();
        const QString reply = field.upperCase();
        if (reply.size() >= 4) {
            const int high = decodeTypedByte(reply[0], reply[1]);
            const int low = decodeTypedByte(reply[2], reply[3]);
            verified = sum == 256 * high + low;
            checksumDiffers = !verified;
        }
    }
    if (!verified) {
        if (checksumDiffers)
            fail(kDownloadTitle, 500);
        else
            reportBroken(kDownloadTitle);
    }

    if (!transport_.sendCommandPair(EndWrite))
        return abandon(true, kDownloadTitle);

    view_.setProgress(100);
    view_.setWaitCursor(false);
    idleLook();
    if (verified) {
        const auto seconds = static_cast<unsigned>((transport_.tickCount() - startTick) / 1000);
        prompter_.tellText(kDownloadTitle, messages::formatMessage(501, nibbles / 2, seconds), Icon::Information);
    }
    if (simplifiedNotEasy())
        view_.closeDialog();
    return verified;
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
    view_.setCaption(781);
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
        return store::isUsableProjectName(name);
    }
    for (;;) {
        const std::optional<QString> answer =
            prompter_.inputText(messages::lookupMessage(502), messages::lookupMessage(503), fallback);
        if (!answer)
            return false;
        QString chosen = *answer;
        if (store::isNoName(chosen))
            chosen = fallback;
        if (!store::isUsableProjectName(chosen))
            continue;
        if (chosen == fallback || !QFile::exists(settings_.projectsFolder + chosen + QStringLiteral(".ini"))) {
            name = chosen;
            return true;
        }
        prompter_.tell(kReadTitle, 505, Icon::Information);
    }
}

bool DeviceTransfers::runReadData()
{
    RunningFlag runningFlag(running_);
    brokenReported_ = false;

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
        view_.setCaption(780);
    view_.setBusyLook(true);
    view_.setProgress(0);

    TransferScope scope(transport_);
    const HeaderRead header = readHeader();
    if (header.bytesRead == 0)
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
            prompter_.tellText(kReadTitle, messages::formatMessage(equal ? 508 : 509, header.total, seconds),
                               equal ? Icon::Information : Icon::Stop);
            success = equal;
        } else {
            // An image that could not become a project has been reported by the import; it is no success.
            if (call(hooks_.importImage, readBuffer_.left(header.total), targetName, false, header.deviceType)
                == ImportOutcome::Done) {
                prompter_.tellText(kReadTitle, messages::formatMessage(510, header.total, seconds), Icon::Information);
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
