#pragma once

#include <QLineEdit>
#include <QWidget>
#include <optional>

class QToolButton;

namespace deviceimage {

// A number field with up/down arrows, as the timing dialogs have it: the arrows step within a range, while a
// typed value is kept as typed (the dialog's OK reads and judges it).
class NumberField : public QWidget {
    Q_OBJECT

public:
    explicit NumberField(QWidget* parent = nullptr);

    // The arrows step within minimum..maximum; the field takes at most maxLength characters.
    void setRange(int minimum, int maximum, int maxLength);

    QLineEdit* edit() const { return edit_; }
    // The field read as a decimal integer; nullopt when it is not one.
    std::optional<int> value() const;
    void setValue(int value);

    QToolButton* upButton() const { return up_; }
    QToolButton* downButton() const { return down_; }

signals:
    // An arrow changed the value, or the user clicked or typed into the field.
    void touched();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    void step(int delta);

    QLineEdit* edit_;
    QToolButton* up_;
    QToolButton* down_;
    int minimum_ = 0;
    int maximum_ = 0;
};

} // namespace deviceimage
