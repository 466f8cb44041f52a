#pragma once

#include "windowkit/Window.h"
#include "ui_PaintChoiceDialog.h"

namespace editing {

// The painter's first question: modify the selected banner or paint a new one. Closing it otherwise answers
// neither. Its controls are those of PaintChoiceDialog.ui: Label1 the question, Button1 Modify, Button2 New.
class PaintChoiceDialog : public windowkit::Dialog, public Ui::PaintChoiceDialog {
    Q_OBJECT

public:
    explicit PaintChoiceDialog(QWidget* parent = nullptr);

    bool modify = false;
    bool createNew = false;

public slots:
    void Button1Click();
    void Button2Click();

protected:
    void FormShow() override;
};

} // namespace editing
