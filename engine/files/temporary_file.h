#pragma once
// A file is replaced only by a complete new one: written beside it under a name no one else
// uses, then renamed over it.

#include <string>

namespace tivenor {

// Creates a new, empty file beside `target` and returns its descriptor (or -1 with errno set);
// `temporaryName` receives its path.
int CreateTemporaryBeside(const std::string& target, std::string& temporaryName);

}  // namespace tivenor
