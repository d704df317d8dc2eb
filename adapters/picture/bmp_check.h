#pragma once
// Qt's BMP reader accepts a file whose pixel data stops early and fills the missing rows with
// whatever memory held, so a cut-off scan would silently become wrong music. The header says how
// long the data must be; this checks the file against it.

#include <cstdint>
#include <string>

namespace tivenor {

// Empty when the file is no BMP or holds all the pixel data its header announces; otherwise
// why it does not.
std::string BmpTruncation(const std::string& fileName);

// The same for the first bytes of a file (at least the 54 of the headers, when there are) and
// the file's size.
std::string BmpTruncation(const uint8_t* head, std::size_t headSize, uint64_t fileSize);

}  // namespace tivenor
