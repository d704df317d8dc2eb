#include "engine/slots/start_angle.h"

#include <algorithm>
#include <vector>

namespace tivenor {

namespace {

// The middle of the first of `sectors` sectors that no arc reaches into; 0 when all are held.
double FirstEmptySector(std::span<const Arc> slots, int sectors) {
  if (sectors <= 0) return 0.0;
  const double width = 360.0 / sectors;
  std::vector<bool> held(static_cast<std::size_t>(sectors), false);
  for (const Arc& arc : slots) {
    // Every sector from the one holding the lead to the one holding the end, round the seam.
    const auto first = static_cast<long>(arc.lead / width);
    const auto last = static_cast<long>((arc.lead + arc.sweep) / width);
    for (long s = first; s <= last && s < first + sectors; ++s)
      held[static_cast<std::size_t>(s % sectors)] = true;
  }
  for (int s = 0; s < sectors; ++s) {
    if (!held[static_cast<std::size_t>(s)]) return (s + 0.5) * width;
  }
  return 0.0;
}

}  // namespace

double WidestGapEnd(std::span<const Arc> slots) {
  if (slots.empty()) return 0.0;
  std::vector<Arc> arcs(slots.begin(), slots.end());
  std::sort(arcs.begin(), arcs.end(), [](const Arc& a, const Arc& b) { return a.lead < b.lead; });
  // What the arcs that run past 360 degrees cover at the start of the walk.
  double reach = -360.0;
  for (const Arc& arc : arcs) reach = std::max(reach, arc.lead + arc.sweep - 360.0);
  double widest = 0.0;
  double end = 0.0;
  for (const Arc& arc : arcs) {
    if (arc.lead - reach > widest) {
      widest = arc.lead - reach;
      end = arc.lead;
    }
    reach = std::max(reach, arc.lead + arc.sweep);
  }
  return widest > 0.0 ? WrapDegrees(end) : 0.0;
}

FoundStart FindStart(std::span<const Arc> slots, const DiscFormat& format, const DiscFrame& frame,
                     std::optional<double> printedLine) {
  switch (format.start) {
    case StartRule::kSectors:
      return {FirstEmptySector(slots, format.startSectors), StartRule::kSectors};
    case StartRule::kAngle:
      return {frame.MusicAngleOfFace(format.startAngleDegrees), StartRule::kAngle};
    case StartRule::kLine:
      if (printedLine) return {*printedLine, StartRule::kLine};
      break;
    case StartRule::kWidestGap:
      break;
  }
  return {WidestGapEnd(slots), StartRule::kWidestGap};
}

std::string StartRuleText(StartRule rule) {
  switch (rule) {
    case StartRule::kSectors:
      return "start at the first empty sector";
    case StartRule::kWidestGap:
      return "start at the widest gap";
    case StartRule::kAngle:
      return "start at the format's angle";
    case StartRule::kLine:
      return "start at the printed line";
  }
  return {};
}

}  // namespace tivenor
