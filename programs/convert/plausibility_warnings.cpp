#include "programs/convert/plausibility_warnings.h"

#include "engine/fitting/plausibility_advice.h"

namespace tivenor::cli {

void PrintWarnings(std::FILE* out, const std::string& picture, const std::vector<Finding>& findings,
                   const AdvisedSettings& settings) {
  const AdviceNames names{SettingNaming::kCommandLine, "--auto", "--format"};
  for (const std::string& warning : PlausibilityWarnings(findings, settings, names)) {
    std::fprintf(out, "tivenor-convert: warning: %s: %s\n", picture.c_str(), warning.c_str());
  }
}

}  // namespace tivenor::cli
