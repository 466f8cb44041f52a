#include "messages/Prompter.h"

#include "messages/MessageCatalogue.h"

namespace messages {

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
