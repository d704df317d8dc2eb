#pragma once
// What the user should know about a disc that was made: things Tivenor's reader will not read
// back as laid out.

#include <string>
#include <vector>

#include "engine/making/disc_layout.h"

namespace tivenor {

std::vector<std::string> LayoutWarnings(const DiscLayout& layout);

}  // namespace tivenor
