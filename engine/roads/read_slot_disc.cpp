#include "engine/roads/read_slot_disc.h"

#include <algorithm>
#include <cmath>
#include <numbers>
#include <string>
#include <utility>

#include "engine/fitting/fitted_settings.h"
#include "engine/midi/standard_midi.h"
#include "engine/reading/outline.h"
#include "engine/slots/disc_frame.h"
#include "engine/slots/format_fit.h"
#include "engine/slots/patch_labelling.h"
#include "engine/slots/patch_report.h"
#include "engine/slots/slot_keying.h"
#include "engine/slots/slot_marks.h"
#include "engine/slots/slot_notes.h"
#include "engine/slots/slot_shape.h"
#include "engine/slots/start_angle.h"

namespace tivenor {

namespace {

// The disc's circle on the working copy: fitted where the fit finds a disc, which dust, a dark
// corner or a cut-off rim cannot pull away; else the built-in outline's four edge points.
DiscFrame FindDisc(ScanState& state, Host& host, const FittedSettings& fitted) {
  DiscFrame frame;
  if (fitted.discFound) {
    frame.centreX = fitted.disc.centreX;
    frame.centreY = fitted.disc.centreY;
    frame.rimRadius = fitted.disc.radius;
    state.CenterX = frame.centreX;
    state.CenterY = frame.centreY;
    state.PixelsPerMm = frame.rimRadius / kRimRadiusMm;
    state.MmPerPixel = 1.0 / state.PixelsPerMm;
    return frame;
  }
  FindMidpointDiameter(state, host);  // throws when there is no disc at all
  state.PictureClean = false;         // the outline's marks are on the display now
  frame.centreX = state.CenterX;
  frame.centreY = state.CenterY;
  frame.rimRadius = kRimRadiusMm * state.PixelsPerMm;
  return frame;
}

// Light beyond the rim, less this, is the background.
constexpr double kRimPixels = 2.0;

// The ring that holds the holes of every format looked for, inside the rim.
PixelRing RingOf(const std::vector<DiscFormat>& formats, const DiscFrame& frame) {
  RingRadii ring = SearchRing(formats.front());
  for (const DiscFormat& format : formats) {
    ring.inner = std::min(ring.inner, SearchRing(format).inner);
    ring.outer = std::max(ring.outer, SearchRing(format).outer);
  }
  return {frame.centreX, frame.centreY, ring.inner * frame.rimRadius,
          std::min(ring.outer * frame.rimRadius, frame.rimRadius - kRimPixels)};
}

// Whether the threshold took most of the ring for light: then it does not tell the disc from its
// holes.
bool MostlyLight(const PatchLabelling& labelling, const PixelRing& ring) {
  int64_t light = 0;
  for (const LightPatch& patch : labelling.Patches()) light += patch.pixels;
  const double area = std::numbers::pi * (ring.outer * ring.outer - ring.inner * ring.inner);
  return static_cast<double>(light) > 0.5 * area;
}

std::vector<SlotShape> ShapesOf(const PatchLabelling& labelling, const DiscFrame& frame) {
  std::vector<SlotShape> shapes;
  shapes.reserve(labelling.Patches().size());
  for (const LightPatch& patch : labelling.Patches()) shapes.push_back(ShapeOf(patch, frame));
  return shapes;
}

// Sides of the picture the disc reaches: the outline search never looks at the two outermost
// rows and columns.
int32_t SidesReached(const DiscFrame& frame, const Raster& picture) {
  const double r = frame.rimRadius;
  int32_t sides = 0;
  sides += frame.centreX - r <= 2.0 ? 1 : 0;
  sides += frame.centreY - r <= 2.0 ? 1 : 0;
  sides += frame.centreX + r >= picture.width - 3.0 ? 1 : 0;
  sides += frame.centreY + r >= picture.height - 3.0 ? 1 : 0;
  return sides;
}

}  // namespace

SlotDiscReading ReadSlotDisc(ScanState& state, Host& host, const ReadingOptions& options) {
  SlotDiscReading result;
  DiscReading& reading = result.reading;
  PrepareWorkBitmap(state, host);
  Raster& work = state.WorkBitmap;

  host.ShowMessageLine("Find Midpoint + Diameter");
  const FittedSettings fitted = FitSettings(work);
  if (options.fitSettings) {
    reading.fitted = fitted;
    if (fitted.discFound) {
      // Only the threshold: the formats' hole sizes take the place of Minimum and Maximum.
      ScanSettings settings;
      settings.threshold = fitted.threshold;
      settings.minimum = host.MinimumHoleSize();
      settings.maximum = host.MaximumHoleSize();
      settings.extrapolation = host.HoleLengthExtrapolation();
      host.UseFittedSettings(settings);
    }
  }
  DiscFrame frame = FindDisc(state, host, fitted);
  frame.mirrored = options.mirrored;
  int threshold = host.Threshold();

  const std::vector<DiscFormat> formats =
      options.candidates.empty() ? std::vector<DiscFormat>{options.format} : options.candidates;
  const PixelRing ring = RingOf(formats, frame);
  PatchLabelling labelling;
  labelling.Label(work, ring, threshold);
  if (MostlyLight(labelling, ring) && fitted.discFound && fitted.threshold != threshold) {
    // A mid-tone disc, front-lit, is lighter than a threshold meant for a dark one.
    host.WriteLogLine("Most of the disc is lighter than the threshold " +
                      std::to_string(threshold) + ": read with the threshold " +
                      std::to_string(fitted.threshold) + " fitted to the picture");
    threshold = fitted.threshold;
    labelling.Label(work, ring, threshold);
  }

  DiscFormat format = options.format;
  if (!options.candidates.empty()) {
    const std::vector<SlotShape> shapes = ShapesOf(labelling, frame);
    FormatChoice choice;
    choice.scores = ScoreFormats(shapes, options.candidates);
    choice.format = options.candidates[choice.scores.front().candidate];
    format = choice.format;
    reading.misfit = FindMisfit(choice.scores, options.candidates, choice.scores.front().candidate);
    reading.formatChoice = std::move(choice);
    if (IsBuiltIn(format) && !reading.misfit) {
      // The built-in road reads the display afresh: it gets the picture back unmarked.
      result.builtInChosen = true;
      host.TakeBitmap(std::exchange(work, Raster{}));
      return result;
    }
  }
  frame.music = format.music;
  const std::vector<SlotShape> shapes = ShapesOf(labelling, frame);
  const KeyedSlots keyed = KeySlots(shapes, format);
  if (options.candidates.empty())
    reading.misfit = FindMisfit(shapes, format, keyed, options.knownFormats);
  std::vector<Arc> arcs;
  for (std::size_t i = 0; i < shapes.size(); ++i) {
    if (keyed.tracks[i] >= 0) arcs.push_back(shapes[i].arc);
  }
  const FoundStart start = FindStart(arcs, format, frame);
  const double turnSeconds = options.turnSeconds.value_or(format.turnSeconds);
  const MidiTiming timing = TimingForTurn(turnSeconds);
  const std::vector<SlotNote> notes = NotesOfSlots(shapes, keyed, format, start.angle, turnSeconds);

  LogKeptOutPatches(host, shapes, keyed.verdicts, start.angle);
  reading.offTrack = keyed.keptOut;
  reading.notesLeftOut = keyed.keptOut;
  reading.notesFound = static_cast<int>(notes.size()) + keyed.keptOut;
  host.ShowMessageLine("# Music Notes = " + std::to_string(notes.size()));

  DrawSlotMarks(work, frame, labelling, keyed.verdicts, shapes, notes);
  const Raster& shown = work;
  const int32_t sides = SidesReached(frame, shown);
  host.TakeBitmap(std::exchange(work, Raster{}));
  state.PictureClean = false;
  // The built-in tables hold nothing of this reading.
  state.NoteCount = 0;
  state.StartAngle = frame.PictureAngle(start.angle) / 360.0;

  if (reading.misfit) return result;  // no notes of a disc the format does not describe
  if (notes.empty()) {
    NoNotesReason reason;
    reason.threshold = threshold;
    reason.offTrack = keyed.keptOut;
    reading.noNotes = reason;
    return result;
  }
  host.DrawStartLine({static_cast<int32_t>(std::lround(frame.centreX)),
                      static_cast<int32_t>(std::lround(frame.centreY))},
                     frame.PixelAt(start.angle, 1.0));

  std::vector<TimedNote> timed;
  timed.reserve(notes.size());
  for (const SlotNote& note : notes)
    timed.push_back({note.onsetSeconds, note.lengthSeconds, note.key});
  reading.midi = WriteStandardMidi(timed, format.program, timing);
  if (keyed.keptOut > 0) reading.findings.push_back({Concern::kPatchesOffTrack, keyed.keptOut});
  if (sides > 0) reading.findings.push_back({Concern::kOutlineAtEdge, sides});
  return result;
}

}  // namespace tivenor
