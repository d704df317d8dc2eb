#include "engine/disc/disc_format.h"

#include "engine/disc/geometry.h"

namespace tivenor {

namespace {

DiscFormat MakeBuiltIn() {
  DiscFormat format;
  format.name = "disc-114-30";
  format.title = "Music box disc, 30 pins, 114 mm";
  format.diameterMm = DiscDiameterMm;
  for (int pin = 0; pin < kPinCount; ++pin) {
    format.trackRadii.push_back(PinTrackRadiusMm(pin) / kRimRadiusMm);
    format.keys.push_back(PinTones[static_cast<std::size_t>(pin)]);
  }
  format.ringInner = InnerRadiusMm / kRimRadiusMm;
  format.ringOuter = kScanRingOuterRadiusMm / kRimRadiusMm;
  format.music = MusicDirection::kCounterClockwise;
  format.turnSeconds = kSecondsPerTurn;
  format.start = StartRule::kSectors;
  format.startSectors = SectorCount;
  format.notes = NoteKind::kPlucked;
  format.program = kBuiltInProgram;
  format.holeLength = {kSmallestSlotMm.length / kRimRadiusMm, kLargestSlotMm.length / kRimRadiusMm};
  format.holeWidth = {kSmallestSlotMm.width / kRimRadiusMm, kLargestSlotMm.width / kRimRadiusMm};
  format.timeLead = static_cast<double>(kTimeLead) / kRimRadiusMm;
  return format;
}

}  // namespace

const DiscFormat& BuiltInDiscFormat() {
  static const DiscFormat format = MakeBuiltIn();
  return format;
}

bool IsBuiltIn(const DiscFormat& format) {
  return format.name == BuiltInDiscFormat().name;
}

}  // namespace tivenor
