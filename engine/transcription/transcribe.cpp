#include "engine/transcription/transcribe.h"

#include <cmath>
#include <string>

#include "engine/base/checked_math.h"
#include "engine/disc/geometry.h"
#include "engine/transcription/extended_constants.h"
#include "engine/transcription/revolution_angle.h"
#include "engine/transcription/start_gap.h"

namespace tivenor {

void TranscribeNotes(ScanState& state, Host& host) {
  const double start = FindStartAngle(state, host);
  state.StartAngle = start;
  const double cs = std::cos(kTwoPi * start);
  const double sn = std::sin(kTwoPi * start);

  // Turn every note clockwise by the start angle, so the start direction becomes angle 0.
  for (int32_t j = 1; j <= state.NoteCount; ++j) {
    const long double x = state.NoteX[j];
    const long double y = state.NoteY[j];
    state.NoteX[j] = static_cast<double>(x * cs + y * sn);
    state.NoteY[j] = static_cast<double>(-x * sn + y * cs);
  }

  for (int32_t j = 1; j <= state.NoteCount; ++j) {
    const long double x = state.NoteX[j];
    const long double y = state.NoteY[j];
    const double r = std::sqrt(x * x + y * y);
    const int64_t pin = RoundHalfEven((static_cast<long double>(r) - kPinZeroRadiusMm) *
                                      kPinsPerSpan * kOneOverPinSpanMm);
    if (pin < 0 || pin >= kPinCount) {
      // No key for this note: it is logged and left out of the music, and never stops the run.
      host.WriteLogLine("No tone corresponding with pin " + std::to_string(j) + " : " +
                        std::to_string(pin));
      state.NoteTime[j] = 0;
      state.NoteHasPin[j] = false;
      continue;
    }
    const double a = RevolutionAngle(state.NoteX[j], state.NoteY[j]);
    const long double lead = CheckedDivide(kTimeLead, r);
    state.NoteTime[j] = NarrowChecked<uint16_t>(RoundHalfEven((lead + a) * kTicksPerTurn));
    state.NotePitch[j] = PinTones[static_cast<std::size_t>(pin)];
    state.NoteHasPin[j] = true;
  }

  RankNotes(state);
  for (int32_t j = 1; j <= state.NoteCount; ++j)
    state.NoteOrder[state.NoteRank[j] + 1] = NarrowChecked<uint16_t>(j);
}

void RankNotes(ScanState& state) {
  const int32_t count = state.NoteCount;
  for (int32_t j = 1; j <= count; ++j) state.NoteRank[j] = 0;
  for (int32_t m = count; m >= 2; --m) {
    for (int32_t k = 1; k <= m - 1; ++k) {
      const int32_t earlier = m - k;
      const int32_t later = state.NoteTime[m] >= state.NoteTime[earlier] ? m : earlier;
      state.NoteRank[later] = NarrowChecked<uint16_t>(state.NoteRank[later] + 1);
    }
  }
}

}  // namespace tivenor
