#pragma once

#include <concepts>
#include <type_traits>

namespace messages {

// The shape of an outcome that the caller tells the user about: an enum class whose first value (`Ok`, `Done`,
// `Written`) is success and whose other values name the catalogue message that tells the user, through a
// `messageId(status)` function beside the enum (0 for success). Results that carry more hold such a status beside
// what its message names. Functions that tell the user themselves return bool instead and live in *Commands
// files. A refused workspace write (store::IniWriteError) is thrown, and abandons the whole command.
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
