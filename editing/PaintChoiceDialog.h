#pragma once

#include "ui/CatalogueTexts.h"
#include "ui/Window.h"

class QLabel;
class QPushButton;

namespace editing {

// The painter's first question: modify the selected banner or paint a new one. Closing it otherwise answers
// neither.
class PaintChoiceDialog : public ui::Dialog {
    Q_OBJECT

public:
    explicit PaintChoiceDialog(QWidget* parent = nullptr);

    bool modify = false;
    bool createNew = false;

    QLabel* Label1;       // the question
    QPushButton* Button1; // Modify
    QPushButton* Button2; // New

public slots:
    void Button1Click();
    void Button2Click();

protected:
    void FormShow() override;

private:
    ui::CatalogueTexts texts_;
};

} // namespace editing
