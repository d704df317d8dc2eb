#include "engine/transcription/revolution_angle.h"

#include <cmath>

#include "engine/transcription/extended_constants.h"

namespace tivenor {

double RevolutionAngle(double x, double y) {
  if (x == 0.0 && y == 0.0) return 0.0;  // the centre has no direction

  // Four quarter-turn cases bordered by the diagonals; on a diagonal the later case stands.
  double theta = 0.0;
  if (x >= 0 && y <= x && -x <= y) theta = std::atan(static_cast<long double>(y) / x);
  if (x <= 0 && y <= -x && y >= x) theta = std::atan(static_cast<long double>(y) / x) + kPi;
  if (y >= 0 && x <= y && -y <= x) theta = kHalfPi - std::atan(static_cast<long double>(x) / y);
  if (y <= 0 && x <= -y && x >= y) {
    theta = kThreeHalfPi - std::atan(static_cast<long double>(x) / y);
  }
  if (theta < 0) theta = theta + kTwoPi;
  return static_cast<double>(theta * kOneOverTwoPi);
}

}  // namespace tivenor
