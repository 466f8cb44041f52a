#pragma once

#include <QFont>
#include <optional>

class QWidget;

namespace imaging {

// The font chooser of the text tools; tests answer it with scripted fonts.
class FontChooser {
public:
    virtual ~FontChooser() = default;
    // nullopt when cancelled. Without withSize the size is not the user's to choose (the fitting picks it).
    virtual std::optional<QFont> chooseFont(const QFont& initial, bool withSize) = 0;
};

// The platform's font dialog, listing every installed family.
class QtFontChooser : public FontChooser {
public:
    explicit QtFontChooser(QWidget* parent) : parent_(parent) {}
    std::optional<QFont> chooseFont(const QFont& initial, bool withSize) override;

private:
    QWidget* parent_;
};

} // namespace imaging
