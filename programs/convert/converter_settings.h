#pragma once
// The converter's four settings, and whether it fits them to each picture (--auto).

namespace tivenor::cli {

struct ConverterSettings {
  int threshold = 100;
  int minimum = 10;
  int maximum = 75;
  int extrapolation = 3;
};

struct FitRequest {
  bool fit = false;
  // Settings given on the command line win over fitted ones.
  bool givenThreshold = false;
  bool givenMinimum = false;
  bool givenMaximum = false;
};

}  // namespace tivenor::cli
