#include "windowkit/RunCommand.h"

namespace windowkit {

void showFailure(messages::Prompter& prompter, const QString& text)
{
    prompter.ask(QStringLiteral("Lumiwand"), text, messages::Icon::Stop, messages::Buttons::Ok);
}

} // namespace windowkit
