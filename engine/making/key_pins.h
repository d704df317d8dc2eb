#pragma once
// Which pins play a key: none, one, or two neighbours.

#include <vector>

namespace tivenor {

// The pins whose key is `key`, innermost first. The outer pin lies outside the ring the reader
// scans; it is left out unless `outerPin`.
std::vector<int> PinsOfKey(int key, bool outerPin);

// True when only the outer pin plays the key.
bool OnlyOuterPinPlays(int key);

}  // namespace tivenor
