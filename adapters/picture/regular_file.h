#pragma once
// Only regular files are read as pictures: a named pipe would block the reader for ever and a
// device would be read without end.

#include <string>

namespace tivenor {

// True for a regular file (links followed), false for anything else or a missing path.
bool IsRegularFile(const std::string& fileName);

// Throws RunError naming the file when it exists and is not a regular file; a missing file is
// left to the decoder, which says so in its own words.
void RequireRegularFile(const std::string& fileName);

}  // namespace tivenor
