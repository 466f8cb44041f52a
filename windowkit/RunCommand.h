#pragma once

#include "messages/Prompter.h"
#include "messages/Status.h"

#include <exception>
#include <functional>

// The one place where a window command's failure becomes a message box. Every window handler that calls logic
// runs it through runCommand, so nothing a command throws (a refused write: "Unable to write to <path>") escapes
// into the event loop: the command is abandoned, the user is told, and the window carries on.
namespace windowkit {

// The message box of a failure no status describes: the program's name as the title, a stop icon, OK.
void showFailure(messages::Prompter& prompter, const QString& text);

// Runs the command; false when it was abandoned (and the failure shown).
template <typename Command>
bool runCommand(messages::Prompter& prompter, Command&& command)
{
    try {
        std::invoke(std::forward<Command>(command));
        return true;
    } catch (const std::exception& error) {
        showFailure(prompter, QString::fromUtf8(error.what()));
        return false;
    }
}

// Runs a command that returns a status; a failed status is shown under the title `titleId` with its message.
// True when the command succeeded.
template <typename Command>
    requires messages::Status<std::invoke_result_t<Command>>
bool runCommand(messages::Prompter& prompter, unsigned titleId, Command&& command)
{
    bool succeeded = false;
    const bool ran = runCommand(prompter, [&] {
        const auto status = std::invoke(std::forward<Command>(command));
        succeeded = messages::succeeded(status);
        if (!succeeded)
            prompter.tell(titleId, messageId(status), messages::Icon::Stop);
    });
    return ran && succeeded;
}

} // namespace windowkit
