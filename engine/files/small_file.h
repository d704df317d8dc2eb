#pragma once
// A small file read whole, such as a format file: only a regular file is read (a named pipe would
// block the reader for ever, a device would be read without end), and only up to a size limit.

#include <cstddef>
#include <string>

namespace tivenor {

// The bytes of `fileName`. Throws RunError naming the file when it cannot be opened or read, is
// not a regular file, or holds more than `limitBytes`; `kindOfFile` ("a format file") says in
// that last message what the file was meant to be.
std::string ReadSmallFile(const std::string& fileName, std::size_t limitBytes,
                          const std::string& kindOfFile);

}  // namespace tivenor
