#pragma once
// Constants of the angle arithmetic at 80-bit extended precision.

namespace tivenor {

inline constexpr long double kPi = 3.1415926535897932385L;
inline constexpr long double kHalfPi = 1.5707963267948966193L;
inline constexpr long double kThreeHalfPi = 4.712388980384689858L;
inline constexpr long double kTwoPi = 6.283185307179586477L;
inline constexpr long double kOneOverTwoPi = 0.15915494309189533577L;

}  // namespace tivenor
