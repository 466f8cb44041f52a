#pragma once

#include <QString>

// The download dialog's buffer of characters typed by the stick. Characters reach it only when the transport
// pumps events, as keystrokes reach a focused text field, so a reply typed before the field was cleared still
// lands after the clear.
namespace devicelink {

class KeyInputField {
public:
    void clear() { text_.clear(); }
    void append(const QString& typed) { text_ += typed; }
    const QString& text() const { return text_; }
    qsizetype size() const { return text_.size(); }
    // Upper-cases the field's text in place and returns it, as each exchange reads its reply.
    const QString& upperCase()
    {
        text_ = text_.toUpper();
        return text_;
    }

private:
    QString text_;
};

} // namespace devicelink
