#pragma once

#include "devicelink/DeviceTransfers.h"
#include "devicelink/Transport.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QTimer>

#include "windowkit/CatalogueTexts.h"
#include "windowkit/Window.h"

namespace messages {
class Prompter;
}

namespace devicelink {

// The download dialog: the stick's selector with "Refresh", a progress bar, and "Read Data", "Verify",
// "Download" and "Cancel". The transfers themselves are DeviceTransfers; the dialog shows them. The express window
// sets autoRead or autoDownload before opening it, and the timer then starts that action once per show and closes
// the dialog when closeRequested is set.
class DownloadDialog : public windowkit::Dialog, public TransferView {
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

    // Controls, named as the form's designer named them.
    QLabel* Label1;          // "Select Light Show Stick:"
    QComboBox* ComboBox1;    // the device selector
    QPushButton* Button1;    // "Refresh"
    QProgressBar* ProgressBar1;
    QPushButton* Button2;    // "Read Data"
    QPushButton* Button3;    // "Verify"
    QPushButton* Button4;    // "Download"
    QPushButton* Button5;    // "Cancel"
    QLabel* Label2;          // "Data processing now... "
    QLabel* Label3;          // "Please don't close this dialog or switch tasks!"
    QCheckBox* CheckBox1;    // "Write and Read Verify", in the hidden lower area
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
    windowkit::CatalogueTexts texts_;
    bool waitCursor_ = false;
};

} // namespace devicelink
