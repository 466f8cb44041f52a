#pragma once

#include "messages/Prompter.h"

#include <QList>
#include <QQueue>
#include <optional>

// A Prompter that answers from a script and records every box it was asked to show, so tests can check the
// titles, texts, icons and buttons an operation uses and choose its answers.
class ScriptedPrompter : public messages::Prompter {
public:
    struct Shown {
        QString kind;   // "box", "input", "open", "save"
        QString title;
        QString text;   // box text, input prompt, or the folder of a file dialog
        messages::Icon icon = messages::Icon::None;
        messages::Buttons buttons = messages::Buttons::Ok;
        QString initial; // the text an input box starts with, or the name a save dialog suggests
    };

    // Answers are consumed in order. A box with one button gets Ok without a script; a question with no scripted
    // answer gets Cancel or No, so a missing script never proceeds; an input or file dialog gets "cancelled".
    QQueue<messages::Answer> answers;
    QQueue<std::optional<QString>> inputs;
    QQueue<QString> files;
    QList<Shown> shown;

    messages::Answer ask(const QString& title, const QString& text, messages::Icon icon, messages::Buttons buttons) override;
    std::optional<QString> inputText(const QString& title, const QString& prompt, const QString& initial) override;
    QString chooseOpenFile(const QString& title, const QString& folder, const QStringList& filters) override;
    QString chooseSaveFile(const QString& title, const QString& folder, const QString& suggestedName,
                           const QStringList& filters) override;
    // The filter a save dialog answers with, in order; when none is queued, the one of the path's extension.
    QQueue<int> fileTypes;
    SaveFileChoice chooseSaveFileAndType(const QString& title, const QString& folder, const QString& suggestedName,
                                         const QStringList& filters) override;

    // The texts of the boxes shown, in order (convenient for QCOMPARE).
    QStringList texts() const;
};
