#pragma once

// Reading a whole file into memory with the system's own file calls, so the
// program needs no stream library (which would bring its locale machinery
// into the executable).

#include "common/Path.h"
#include <cstddef>

#include <string>

enum class TFileReadStatus { Read, CannotOpen, TooLarge, ReadError };

struct TFileBytes {
    TFileReadStatus Status = TFileReadStatus::CannotOpen;
    std::string Bytes; // only with Read
};

// The bytes of the file; a file of more than maxSize bytes is not read
// (TooLarge), whatever it holds.
TFileBytes ReadFileBytes(const TPath& file, std::size_t maxSize);
