#pragma once
// A failure with a number and a description, as the error handlers of the program report it
// ("Error: " + number + CRLF + description ...). Thrown inside the core only, never across a seam.

#include <exception>
#include <stdexcept>
#include <string>

#include "platform/seams/file_system.hpp"

namespace zelvane {

class ProgramError : public std::runtime_error {
public:
    ProgramError(int number, std::string description)
        : std::runtime_error(description), number_(number), description_(std::move(description)) {}
    int Number() const { return number_; }
    const std::string& Description() const { return description_; }

private:
    int number_;
    std::string description_;
};

// Errors of the core's own operations.
ProgramError InvalidArgumentError();  // 5  "Invalid procedure call or argument"
ProgramError OverflowError();         // 6  "Overflow"
ProgramError SubscriptError();        // 9  "Subscript out of range"
ProgramError TypeMismatchError();     // 13 "Type mismatch"
ProgramError OutOfMemoryError();      // 7  "Out of memory"

// An unexpected failure as the error handlers number it: the program's own errors as they are,
// running out of memory as 7 "Out of memory", anything else as 51 "Internal error".
ProgramError FailureOf(const std::exception& failure);

// The stable number and text of each kind of file-system failure.
ProgramError FileSystemError(FsStatus status);

}  // namespace zelvane
