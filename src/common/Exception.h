#pragma once

#include <stdexcept>
#include <string>

// The program's general exception. Anything that leaves an event handler is
// caught at the window procedure and shown in an error box with what().
class Exception : public std::runtime_error {
public:
    explicit Exception(const std::string& message) : std::runtime_error(message) {}
};
