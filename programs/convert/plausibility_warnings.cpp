#include "programs/convert/plausibility_warnings.h"

#include "engine/fitting/plausibility_advice.h"

namespace tivenor::cli {

void PrintWarnings(std::FILE* out, const std::string& picture, const ScanState& state,
                   const ConverterHost& host) {
  const ConverterSettings& used = host.SettingsUsed();
  const ScanSettings scan{used.threshold, used.minimum, used.maximum,
                          host.Fitting().fit && host.Fitted().discFound};
  const AdviceNames names{{"--threshold", "--minimum", "--maximum"}, "--auto"};
  for (const std::string& warning :
       PlausibilityWarnings(state, host.ReadWidth(), host.ReadHeight(), scan, names)) {
    std::fprintf(out, "tivenor-convert: warning: %s: %s\n", picture.c_str(), warning.c_str());
  }
}

}  // namespace tivenor::cli
