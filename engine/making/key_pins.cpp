#include "engine/making/key_pins.h"

#include "engine/disc/geometry.h"

namespace tivenor {
namespace {

constexpr int kOuterPin = kPinCount - 1;

}  // namespace

std::vector<int> PinsOfKey(int key, bool outerPin) {
  std::vector<int> pins;
  for (int pin = 0; pin < kPinCount; ++pin) {
    if (PinTones[pin] == key && (outerPin || pin != kOuterPin)) pins.push_back(pin);
  }
  return pins;
}

bool OnlyOuterPinPlays(int key) {
  return PinsOfKey(key, true) == std::vector<int>{kOuterPin};
}

}  // namespace tivenor
