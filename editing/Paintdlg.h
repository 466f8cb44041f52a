#pragma once

#include <QDialog>

class QLabel;
class QPushButton;

namespace editing {

// Vove Diror's first question: modify the selected banner or paint a new one. Closing it otherwise answers
// neither.
class PaintDlg : public QDialog {
    Q_OBJECT

public:
    explicit PaintDlg(QWidget* parent = nullptr);

    bool modify = false;
    bool createNew = false;

    QLabel* Label1;       // the question
    QPushButton* Button1; // Modify
    QPushButton* Button2; // New

public slots:
    void Button1Click();
    void Button2Click();

protected:
    void showEvent(QShowEvent* event) override;
};

} // namespace editing
