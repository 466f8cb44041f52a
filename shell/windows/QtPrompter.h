#pragma once

#include "messages/Prompter.h"

#include <QPointer>
#include <QWidget>

// The Prompter of the running program: message boxes, the one-line question box and the file dialogs of Qt,
// over the given window or, without one, over the window that is active at the time.
namespace shell {

class QtPrompter : public messages::Prompter {
public:
    explicit QtPrompter(QWidget* parent = nullptr);

    void setParentWindow(QWidget* parent) { parent_ = parent; }

    // The box has the icon and the buttons asked for; Escape and the close box answer Cancel (No when there is
    // no Cancel button, Ok when Ok is the only one). The text is shown as plain text.
    messages::Answer ask(const QString& title, const QString& text, messages::Icon icon, messages::Buttons buttons) override;
    std::optional<QString> inputText(const QString& title, const QString& prompt, const QString& initial) override;
    QString chooseOpenFile(const QString& title, const QString& folder, const QStringList& filters) override;
    // A name given without an extension gets the one of the file type selected in the dialog.
    SaveFileChoice chooseSaveFileAndType(const QString& title, const QString& folder, const QString& suggestedName,
                                         const QStringList& filters) override;
    QString chooseSaveFile(const QString& title, const QString& folder, const QString& suggestedName,
                           const QStringList& filters) override;

private:
    QWidget* parentWindow() const;
    // The save file dialog; it never asks about replacing a file, the commands do.
    QString saveFileName(const QString& title, const QString& folder, const QString& suggestedName,
                         const QStringList& filters, QString& selectedFilter);

    QPointer<QWidget> parent_;
};

// `path` with the extension of `filter`'s first pattern ("Lumiwand (*.lwd)" gives ".lwd") when its file name has
// no "." at all; unchanged otherwise, and when the pattern names no single extension.
QString withFilterExtension(const QString& path, const QString& filter);

} // namespace shell
