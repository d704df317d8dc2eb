#pragma once

#include <stdexcept>

namespace tivenor {

// A tune that cannot become a disc at all; the text is for the user.
class LayoutError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

}  // namespace tivenor
