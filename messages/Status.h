#pragma once

#include <concepts>
#include <type_traits>

namespace messages {

// The one shape of a logic operation's outcome: an enum class whose first value (`Ok`, or `Done`) is success and
// whose other values name the catalogue message that tells the user about them, through a `messageId(status)`
// function beside the enum. The one exception is a refused file write (store::IniWriteError), which abandons the
// whole command.
template <typename S>
concept Status = std::is_enum_v<S> && requires(S status) {
    { messageId(status) } -> std::convertible_to<unsigned>;
};

template <Status S>
constexpr bool succeeded(S status)
{
    return status == S{};
}

} // namespace messages
