#pragma once

#include "deviceimage/BinaryFiles.h"

#include "ui/CatalogueTexts.h"
#include "ui/Window.h"

class QLabel;
class QPushButton;
class QRadioButton;

namespace deviceimage {

// The factory-mode device type dialog of "Save as binary file": which stick the image is made for. It is made
// once and keeps the option last left selected between uses; only OK chooses, closing the window cancels.
class DeviceTypeDialog : public ui::Dialog, public DeviceTypeChooser {
    Q_OBJECT

public:
    explicit DeviceTypeDialog(QWidget* parent = nullptr);

    QLabel* Label1;             // "Please select LED Light Show type:"
    QRadioButton* RadioButton1; // "LED Light Show Visually Inviting": type 1 (selected at first)
    QRadioButton* RadioButton2; // "LED Light Show Fan/Spring Stick": the edition's type
    QRadioButton* RadioButton3; // "LED Light Show ROLL": type 4
    QPushButton* Button1;       // OK
    QPushButton* Button2;       // Cancel

    // The selected option, 1 to 3.
    int option() const;

    // Shows the dialog modally; the option when OK was pressed.
    std::optional<int> chooseDeviceTypeOption() override;

public slots:
    void Button1Click();
    void Button2Click();

protected:
    // The texts follow the language in use when the dialog is shown.
    void FormShow() override;

private:
    ui::CatalogueTexts texts_;
};

} // namespace deviceimage
