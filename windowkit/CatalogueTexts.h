#pragma once

#include <QPointer>
#include <QString>
#include <QWidget>
#include <span>
#include <vector>

// Texts that controls take from the message catalogue, applied again whenever the language may have changed.
// A caption is a button's or a label's text, a group box's title, or a window's title; a hint is the tool tip
// and, for a control that shows no text of its own (an icon button), also its accessible name.
namespace windowkit {

// A control named by its object name, for windows whose controls other windows add later.
struct NamedText {
    const char* control;
    unsigned message;
};

void setCaption(QWidget& control, const QString& text);
void setHint(QWidget& control, const QString& text);

// Sets the texts of the controls below `root` that carry the names; names not found are skipped, so a table may
// list controls that do not exist yet.
void applyNamedCaptions(const QWidget& root, std::span<const NamedText> rows);
void applyNamedHints(const QWidget& root, std::span<const NamedText> rows);
// Accessible names of controls that show no text and need no tool tip (lists, views).
void applyNamedAccessibleNames(const QWidget& root, std::span<const NamedText> rows);

// The texts of one window's own controls: filled once where the controls are made, applied in the show handler
// and after a language change.
class CatalogueTexts {
public:
    CatalogueTexts& caption(QWidget* control, unsigned message);
    CatalogueTexts& hint(QWidget* control, unsigned message);

    // Captions first, so a hint sees whether its control shows a text.
    void apply() const;

private:
    struct Row {
        QPointer<QWidget> control;
        unsigned message;
    };
    std::vector<Row> captions_;
    std::vector<Row> hints_;
};

} // namespace windowkit
