#pragma once

#include "deviceimage/BinaryFiles.h"
#include "windowkit/Window.h"
#include "ui_DeviceTypeDialog.h"

namespace deviceimage {

// The factory-mode device type dialog of "Save as binary file": which stick the image is made for. It is made
// once and keeps the option last left selected between uses; only OK chooses, closing the window cancels.
// Its controls are those of DeviceTypeDialog.ui: RadioButton1 type 1 (selected at first), RadioButton2 the edition's
// type, RadioButton3 type 4 ("LED Light Show ROLL"), Button1 OK, Button2 Cancel.
class DeviceTypeDialog : public windowkit::Dialog, public DeviceTypeChooser, public Ui::DeviceTypeDialog {
    Q_OBJECT

public:
    explicit DeviceTypeDialog(QWidget* parent = nullptr);

    // The selected option, 1 to 3.
    int option() const;

    // Shows the dialog modally; the option when OK was pressed.
    std::optional<int> chooseDeviceTypeOption() override;

public slots:
    void Button1Click();
    void Button2Click();
};

} // namespace deviceimage
