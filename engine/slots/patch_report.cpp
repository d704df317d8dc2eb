#include "engine/slots/patch_report.h"

#include <cstdio>
#include <string>

namespace tivenor {

void LogKeptOutPatches(Host& host, std::span<const SlotShape> shapes,
                       std::span<const SlotVerdict> verdicts, double startAngle) {
  int logged = 0;
  int more = 0;
  for (std::size_t i = 0; i < shapes.size(); ++i) {
    const SlotVerdict verdict = verdicts[i];
    if (verdict == SlotVerdict::kKeyed || verdict == SlotVerdict::kOutsideRing) continue;
    if (logged == kMaxPatchLogLines) {
      ++more;
      continue;
    }
    char text[160];
    std::snprintf(text, sizeof text,
                  "Light patch left out at %.1f degrees from the start, %.3f of the rim radius "
                  "out: %s",
                  WrapDegrees(shapes[i].arc.lead - startAngle), shapes[i].radius,
                  VerdictText(verdict));
    host.WriteLogLine(text);
    ++logged;
  }
  if (more > 0)
    host.WriteLogLine(std::to_string(more) + " more light patches left out, not logged one by one");
}

}  // namespace tivenor
