#pragma once
// Which settings the converter's command line fixed, and whether it fits the others to each
// picture (--auto).

namespace tivenor::cli {

struct GivenSettings {
  bool threshold = false;
  bool minimum = false;
  bool maximum = false;
};

struct FitRequest {
  bool fit = false;
  GivenSettings given;  // settings given on the command line win over fitted ones
};

}  // namespace tivenor::cli
