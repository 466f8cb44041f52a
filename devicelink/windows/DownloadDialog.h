#pragma once

#include "devicelink/DeviceTransfers.h"
#include "devicelink/Transport.h"

#include "windowkit/Window.h"
#include "ui_DownloadDialog.h"

#include <QTimer>

namespace messages {
class Prompter;
}

namespace devicelink {

// The download dialog: the stick's selector with "Refresh", a progress bar, and "Read Data", "Verify",
// "Download" and "Cancel". The transfers themselves are DeviceTransfers; the dialog shows them. The express window
// sets autoRead or autoDownload before opening it, and the timer then starts that action once per show and closes
// the dialog when closeRequested is set. Its controls are those of DownloadDialog.ui: Label1 "Select Light Show
// Stick:", ComboBox1 the device selector, Button1 Refresh, ProgressBar1, Button2 Read Data, Button3 Verify,
// Button4 Download, Button5 Cancel, Label2 and Label3 the busy notice, CheckBox1 "Write and Read Verify" in the
// hidden lower area.
class DownloadDialog : public windowkit::Dialog, public TransferView, public Ui::DownloadDialog {
    Q_OBJECT

public:
    DownloadDialog(HidPlatform& platform, EventPump& pump, messages::Prompter& prompter, ProjectHooks hooks,
                   TransferSettings settings, QWidget* parent = nullptr);
    ~DownloadDialog() override;

    bool autoRead = false;
    bool autoDownload = false;
    bool autoStarted = false;
    bool closeRequested() const { return transfers_.closeRequested; }
    void setCloseRequested(bool requested) { transfers_.closeRequested = requested; }

    DeviceTransfers& transfers() { return transfers_; }
    Transport& transport() { return transport_; }

    QTimer* Timer1;

    // TransferView
    void setProgress(int percent) override;
    void setBusyLook(bool busy) override;
    void setWaitCursor(bool waiting) override;
    void setCaption(unsigned messageId) override;
    void bringToFront() override;
    void closeDialog() override;

public slots:
    void FormShow() override;
    void Button1Click(); // Refresh
    void Button2Click(); // Read Data
    void Button3Click(); // Verify
    void Button4Click(); // Download
    void Button5Click(); // Cancel
    void Timer1Timer();
    void ComboBox1Change(int index);
    // A stick plugged in or pulled out (DeviceWatcher): the open dialog's selector shows it at once, as Refresh
    // would, unless a transfer runs.
    void devicesChanged();
    void reject() override;

protected:
    // The close box during a transfer stops it at the next block instead of closing the dialog under it.
    bool FormCloseQuery() override;
    void hideEvent(QHideEvent* event) override;

private:
    bool simplifiedNotEasy() const;
    void fillSelector();
    void syncCheckBox();

    messages::Prompter& prompter_;
    Transport transport_;
    DeviceTransfers transfers_;
    QSize fullSize_; // the size DownloadDialog.ui gives, the lower area out of sight
    bool waitCursor_ = false;
};

} // namespace devicelink
