#include "messages/Prompter.h"

#include "messages/MessageCatalogue.h"

namespace messages {

Prompter::SaveFileChoice Prompter::chooseSaveFileAndType(const QString& title, const QString& folder,
                                                        const QString& suggestedName, const QStringList& filters)
{
    SaveFileChoice choice{chooseSaveFile(title, folder, suggestedName, filters), 0};
    const qsizetype dot = choice.path.lastIndexOf(u'.');
    const QString pattern = QStringLiteral("*") + (dot < 0 ? QString() : choice.path.mid(dot)) + u')';
    for (int k = 0; k < filters.size(); ++k)
        if (dot >= 0 && filters[k].endsWith(pattern, Qt::CaseInsensitive))
            choice.filter = k;
    return choice;
}

QString fileFilter(unsigned nameId, const QString& patterns)
{
    return lookupMessage(nameId) + QStringLiteral(" (") + patterns + u')';
}

void Prompter::tell(unsigned titleId, unsigned textId, Icon icon)
{
    ask(lookupMessage(titleId), lookupMessage(textId), icon, Buttons::Ok);
}

void Prompter::tellText(unsigned titleId, const QString& text, Icon icon)
{
    ask(lookupMessage(titleId), text, icon, Buttons::Ok);
}

bool Prompter::confirm(unsigned titleId, unsigned textId, Buttons buttons)
{
    return confirmText(titleId, lookupMessage(textId), buttons);
}

bool Prompter::confirmText(unsigned titleId, const QString& text, Buttons buttons)
{
    const Answer answer = ask(lookupMessage(titleId), text, Icon::Question, buttons);
    return answer == Answer::Yes || answer == Answer::Ok;
}

} // namespace messages
