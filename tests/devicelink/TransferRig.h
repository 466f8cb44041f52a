#pragma once

#include "devicelink/DeviceTransfers.h"
#include "devicelink/simulated/SimulatedHidPlatform.h"
#include "tests/devicelink/FakeEventPump.h"
#include "tests/support/ScriptedPrompter.h"

#include <QList>
#include <QTemporaryDir>

// Device images written by hand, so the transfers are tested without the image compiler.
struct TestPicture {
    int width = 1;
    bool indelible = false;
};

// An image of `height` rows (plus 128 with heightFlag) with the pictures' link entries and a pattern of
// recognisable bytes.
QByteArray makeImage(int height, const QList<TestPicture>& pictures, bool heightFlag = false, int seed = 1);

// The texts of the message boxes a prompter showed (not its name questions).
inline QStringList messageBoxes(const ScriptedPrompter& prompter)
{
    QStringList texts;
    for (const ScriptedPrompter::Shown& shown : prompter.shown)
        if (shown.kind == QLatin1String("box"))
            texts << shown.text;
    return texts;
}

// Records what a transfer showed.
class RecordingView : public devicelink::TransferView {
public:
    QList<int> progress;
    bool busy = false;
    bool waitCursor = false;
    QList<unsigned> captions;
    int closed = 0;
    int broughtToFront = 0;
    std::function<void()> onProgress;

    void setProgress(int percent) override
    {
        if (progress.isEmpty() || progress.back() != percent)
            progress << percent;
        if (onProgress)
            onProgress();
    }
    void setBusyLook(bool on) override { busy = on; }
    void setWaitCursor(bool on) override { waitCursor = on; }
    void setCaption(unsigned id) override { captions << id; }
    void bringToFront() override { ++broughtToFront; }
    void closeDialog() override { ++closed; }
};

struct ImportCall {
    QByteArray image;
    QString name;
    bool merge = false;
    int type = 0;
};

// A simulated stick, the transport over it, and a current project that compiles to `project`.
struct TransferRig {
    explicit TransferRig(devicelink::SimulatedDeviceConfig config = {}, devicelink::TransferSettings settings = {});

    FakeEventPump pump;
    devicelink::SimulatedHidPlatform platform;
    devicelink::Transport transport;
    ScriptedPrompter prompter;
    RecordingView view;
    QTemporaryDir projects;
    devicelink::DeviceTransfers transfers;

    QByteArray project;        // the current project's image
    QString projectPath;       // empty: no current project
    QString entryText = QStringLiteral("Demo (16 x 16)");
    QList<int> builtTypes;
    QList<ImportCall> imports;
    int refreshes = 0;
    QStringList selected;
    std::function<void(const ImportCall&)> onImport;

    devicelink::SimulatedDevice& device() { return platform.device(); }
    // Puts an image into the stick's memory, as an earlier download would have.
    void store(const QByteArray& image) { device().memory().replace(0, image.size(), image); }
    QStringList boxes() const { return messageBoxes(prompter); }
    // The expected boxes with the elapsed seconds of the success message as the virtual clock says.
    QStringList withSeconds(QStringList texts) const
    {
        for (QString& text : texts)
            text.replace(QLatin1String(" 0 seconds"), QStringLiteral(" %1 seconds").arg(pump.clock / 1000));
        return texts;
    }
};

// Message texts as the user sees them.
QString message(unsigned id);
QString message(unsigned id, int a);
QString message(unsigned id, int a, int b);
