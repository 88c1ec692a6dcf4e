#pragma once

#include <optional>
#include <string>
#include <utility>

namespace base {

// What a reader took from a document, and apart from it the message of the
// failure that stopped it. The windows show what was read before the damage,
// so a reader keeps every value it placed before the failure and returns them
// together with the message instead of throwing them away.
template <class T>
struct Reading {
    T value{};
    std::optional<std::string> failure;

    bool ok() const { return !failure.has_value(); }

    // The value, or throws std::runtime_error with the failure's message.
    const T& valueOrThrow() const;
};

}  // namespace base

#include <stdexcept>

template <class T>
const T& base::Reading<T>::valueOrThrow() const {
    if (failure) throw std::runtime_error(*failure);
    return value;
}
