#include "tests/support/ScriptedPrompter.h"

using messages::Answer;
using messages::Buttons;

Answer ScriptedPrompter::ask(const QString& title, const QString& text, messages::Icon icon, Buttons buttons)
{
    shown.append({QStringLiteral("box"), title, text, icon, buttons, {}});
    if (buttons == Buttons::Ok)
        return answers.isEmpty() ? Answer::Ok : answers.dequeue();
    if (!answers.isEmpty())
        return answers.dequeue();
    return buttons == Buttons::OkCancel ? Answer::Cancel : Answer::No;
}

std::optional<QString> ScriptedPrompter::inputText(const QString& title, const QString& prompt,
                                                  const QString& initial)
{
    shown.append({QStringLiteral("input"), title, prompt, messages::Icon::None, Buttons::OkCancel, initial});
    return inputs.isEmpty() ? std::nullopt : inputs.dequeue();
}

QString ScriptedPrompter::chooseOpenFile(const QString& title, const QString& folder, const QStringList&)
{
    shown.append({QStringLiteral("open"), title, folder, messages::Icon::None, Buttons::OkCancel, {}});
    return files.isEmpty() ? QString() : files.dequeue();
}

QString ScriptedPrompter::chooseSaveFile(const QString& title, const QString& folder, const QString& suggestedName,
                                         const QStringList&)
{
    shown.append({QStringLiteral("save"), title, folder, messages::Icon::None, Buttons::OkCancel, suggestedName});
    return files.isEmpty() ? QString() : files.dequeue();
}

messages::Prompter::SaveFileChoice ScriptedPrompter::chooseSaveFileAndType(const QString& title,
                                                                          const QString& folder,
                                                                          const QString& suggestedName,
                                                                          const QStringList& filters)
{
    SaveFileChoice choice = Prompter::chooseSaveFileAndType(title, folder, suggestedName, filters);
    if (!fileTypes.isEmpty())
        choice.filter = fileTypes.dequeue();
    return choice;
}

QStringList ScriptedPrompter::texts() const
{
    QStringList all;
    for (const Shown& box : shown)
        all << box.text;
    return all;
}
