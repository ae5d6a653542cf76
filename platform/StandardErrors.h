#pragma once

#include "platform/RuntimeError.h"

namespace platform {

// The run-time errors that the platform's own objects raise (numbers and
// descriptions as the system's handlers and error texts show them).
namespace errors {

enum Number : long {
    InvalidArgument = 5,
    Overflow = 6,
    OutOfMemory = 7,
    SubscriptOutOfRange = 9,
    TypeMismatch = 13,
    ObjectNotSet = 91,
    ObjectRequired = 424,
    DuplicateKey = 457,
};

// The description of one of the numbers above.
QString description(Number number);
// A RuntimeError with that number and description.
RuntimeError error(Number number);

} // namespace errors
} // namespace platform
