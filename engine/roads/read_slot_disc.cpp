#include "engine/roads/read_slot_disc.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <limits>
#include <numbers>
#include <optional>
#include <string>
#include <utility>

#include "engine/fitting/fitted_settings.h"
#include "engine/midi/standard_midi.h"
#include "engine/reading/outline.h"
#include "engine/slots/disc_frame.h"
#include "engine/slots/format_fit.h"
#include "engine/slots/patch_labelling.h"
#include "engine/slots/patch_report.h"
#include "engine/slots/ring_threshold.h"
#include "engine/slots/slot_keying.h"
#include "engine/slots/slot_marks.h"
#include "engine/slots/slot_notes.h"
#include "engine/slots/slot_shape.h"
#include "engine/slots/start_angle.h"
#include "engine/slots/start_line.h"
#include "engine/view/ellipse_fit.h"
#include "engine/view/fit_view.h"
#include "engine/view/rim_edge.h"
#include "engine/view/round_picture.h"

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

// A photograph is read in a round picture with its rim no larger than this: finer than any
// format's slots need, and the same whether the photo was decoded whole (to be marked) or at a
// reduced size.
constexpr double kLargestRoundRimPx = 1200.0;

// Rim points lie within about a tenth of a pixel of the rim's ellipse, however the lens bends
// (0.06 to 0.12 on the photos measured); a pixel leaves room for a rough edge.
constexpr double kRimTolerancePx = 1.0;

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

// Scores the candidates on the patches found and keeps the best, with its scores.
DiscFormat ChooseFormat(const PatchLabelling& labelling, const DiscFrame& frame,
                        const std::vector<DiscFormat>& candidates, DiscReading& reading) {
  const std::vector<SlotShape> shapes = ShapesOf(labelling, frame);
  FormatChoice choice;
  choice.scores = ScoreFormats(shapes, candidates);
  choice.format = candidates[choice.scores.front().candidate];
  reading.misfit = FindMisfit(choice.scores, candidates, choice.scores.front().candidate);
  reading.formatChoice = choice;
  return choice.format;
}

void LogView(Host& host, const ViewFit& view) {
  const auto fixed = [](double value, int decimals) {
    char text[32];
    std::snprintf(text, sizeof text, "%.*f", decimals, value);
    return std::string(text);
  };
  host.WriteLogLine("Photographed at a slant of about " + fixed(view.slantDegrees, 1) +
                    " degrees: the disc's centre lies " + fixed(view.centreShift, 1) +
                    " pixels from the rim's, the lens bends by " + fixed(view.lensBend, 3) +
                    "; read in the disc's own round frame, the slots " + fixed(view.misfit, 2) +
                    " track pitches (root mean square) off their tracks");
}

}  // namespace

SlotDiscReading ReadSlotDisc(ScanState& state, Host& host, const ReadingOptions& options) {
  SlotDiscReading result;
  DiscReading& reading = result.reading;
  PrepareWorkBitmap(state, host);
  Raster& work = state.WorkBitmap;

  host.ShowMessageLine("Find Midpoint + Diameter");
  const FittedSettings fitted = FitSettings(work);
  DiscFrame frame = FindDisc(state, host, fitted);
  frame.mirrored = options.mirrored;
  const std::vector<DiscFormat> formats =
      options.candidates.empty() ? std::vector<DiscFormat>{options.format} : options.candidates;
  const PixelRing ring = RingOf(formats, frame);
  // The holes' own threshold, where the ring shows a disc and its holes; else the picture's.
  const std::optional<RingLevels> ringLevels =
      fitted.discFound ? RingThreshold(work, ring) : std::nullopt;
  const int pictureThreshold = ringLevels ? ringLevels->threshold : fitted.threshold;
  const Channel channel = ringLevels ? ringLevels->channel : Channel::kRed;
  if (channel != Channel::kRed) {
    host.WriteLogLine(std::string("The holes stand out most in the ") + ChannelName(channel) +
                      " channel: read in it");
  }
  if (options.fitSettings) {
    reading.fitted = fitted;
    // The slots are read on the picture as it is held, neither evened out nor copied at the
    // built-in disc's scale: its own coordinates are the shown picture's.
    const int shown = std::max(options.shownReduction, 1);
    reading.fitted.reading = ReadingPlan{};
    reading.fitted.reading.scale = shown;
    reading.fitted.reading.pictureReduction = shown;
    reading.readScale = shown;
    if (fitted.discFound) {
      // Only the threshold: the formats' hole sizes take the place of Minimum and Maximum.
      ScanSettings settings;
      settings.threshold = pictureThreshold;
      settings.minimum = host.MinimumHoleSize();
      settings.maximum = host.MaximumHoleSize();
      settings.extrapolation = host.HoleLengthExtrapolation();
      host.UseFittedSettings(settings);
    }
  }
  int threshold = host.Threshold();

  PatchLabelling labelling;
  labelling.Label(work, ring, threshold, channel);
  if (MostlyLight(labelling, ring) && fitted.discFound && pictureThreshold != threshold) {
    // A mid-tone disc, front-lit, is lighter than a threshold meant for a dark one.
    host.WriteLogLine("Most of the disc is lighter than the threshold " +
                      std::to_string(threshold) + ": read with the threshold " +
                      std::to_string(pictureThreshold) + " fitted to the picture");
    threshold = pictureThreshold;
    labelling.Label(work, ring, threshold, channel);
  }

  DiscFormat format = options.format;
  // With candidates, the one the slots fit best; true when that is the built-in disc, whose road
  // reads the display afresh and gets the picture back unmarked.
  const auto builtInChosen = [&] {
    if (options.candidates.empty()) return false;
    format = ChooseFormat(labelling, frame, options.candidates, reading);
    if (!IsBuiltIn(format) || reading.misfit) return false;
    result.builtInChosen = true;
    host.TakeBitmap(std::exchange(work, Raster{}));
    return true;
  };
  if (builtInChosen()) return result;

  // A photograph taken at a slant or through a bending lens is read in the disc's own round
  // frame, drawn anew; the marks go back onto the picture as it was given. Choosing among
  // formats, each gets the view that lays the slots best on its own tracks, and the format whose
  // tracks they lie on best is read.
  // The built-in disc is chosen here only when it did not fit either: the other formats' views
  // may still show one that does.
  const PlanePoint circleCentre{frame.centreX, frame.centreY};
  ViewFit view;
  view.view = SquareView(circleCentre, frame.rimRadius);
  view.misfit = std::numeric_limits<double>::infinity();
  // The rim is the same whichever format's tracks the view is fitted to; a worn or chipped
  // stretch of it says nothing of the disc's shape.
  const std::vector<PlanePoint> rimPoints =
      ConsensusPoints(FindRimEdge(work, circleCentre, frame.rimRadius, channel), kRimTolerancePx);
  if (!IsBuiltIn(format)) {
    view = FitView(work, circleCentre, frame.rimRadius, rimPoints, labelling, format);
  }
  for (const DiscFormat& candidate : options.candidates) {
    if (IsBuiltIn(candidate) || candidate.name == format.name) continue;
    ViewFit other = FitView(work, circleCentre, frame.rimRadius, rimPoints, labelling, candidate);
    if (other.misfit < view.misfit) {
      view = other;
      format = candidate;
    }
  }
  Raster round;
  const RoundFrame roundFrame = RoundFrameFor(std::min(frame.rimRadius, kLargestRoundRimPx));
  if (!view.square) {
    DrawRoundPicture(work, view.view, roundFrame, round, channel);
    LogView(host, view);
    frame.centreX = frame.centreY = roundFrame.centre;
    frame.rimRadius = roundFrame.rimPx;
    labelling.Label(round, RingOf(formats, frame), threshold);
  }
  if (builtInChosen()) return result;
  Raster& read = view.square ? work : round;
  frame.music = format.music;
  const std::vector<SlotShape> shapes = ShapesOf(labelling, frame);
  const KeyedSlots keyed = KeySlots(shapes, format);
  if (options.candidates.empty())
    reading.misfit = FindMisfit(shapes, format, keyed, options.knownFormats);
  std::vector<Arc> arcs;
  for (std::size_t i = 0; i < shapes.size(); ++i) {
    if (keyed.tracks[i] >= 0) arcs.push_back(shapes[i].arc);
  }
  std::optional<double> printedLine;
  if (format.start == StartRule::kLine) {
    printedLine = FindStartLine(read, frame, format, view.square ? channel : Channel::kRed);
    if (!printedLine) {
      host.WriteLogLine("No printed start line stands out: the music starts after the widest gap");
    }
  }
  const FoundStart start = FindStart(arcs, format, frame, printedLine);
  reading.startRule = start.rule;
  const double turnSeconds = options.turnSeconds.value_or(format.turnSeconds);
  const MidiTiming timing = TimingForTurn(turnSeconds);
  const std::vector<SlotNote> notes = NotesOfSlots(shapes, keyed, format, start.angle, turnSeconds);

  LogKeptOutPatches(host, shapes, keyed.verdicts, start.angle);
  reading.offTrack = keyed.keptOut;
  reading.notesLeftOut = keyed.keptOut;
  reading.notesFound = static_cast<int>(notes.size()) + keyed.keptOut;
  host.ShowMessageLine("# Music Notes = " + std::to_string(notes.size()));

  if (options.markSlots && view.square) {
    DrawSlotMarks(work, frame, labelling, keyed.verdicts, shapes, notes);
  } else if (options.markSlots) {
    DrawSlotMarks(round, frame, labelling, keyed.verdicts, shapes, notes);
    CopyMarksBack(round, view.view, roundFrame, work);
  }
  const PlanePoint centre = view.view.DiscToPicture({0.0, 0.0});
  const DiscFrame& shownFrame = frame;
  const int32_t sides = view.square ? SidesReached(frame, work) : 0;
  host.TakeBitmap(std::exchange(work, Raster{}));
  state.PictureClean = false;
  // The built-in tables hold nothing of this reading.
  state.NoteCount = 0;
  state.CenterX = centre.x;
  state.CenterY = centre.y;
  state.StartAngle = frame.PictureAngle(start.angle) / 360.0;

  if (reading.misfit) return result;  // no notes of a disc the format does not describe
  if (notes.empty()) {
    NoNotesReason reason;
    reason.threshold = threshold;
    reason.offTrack = keyed.keptOut;
    reading.noNotes = reason;
    return result;
  }
  const PlanePoint rimAtStart =
      view.square ? PlanePoint{frame.PictureX(start.angle, 1.0), frame.PictureY(start.angle, 1.0)}
                  : PictureOfRound(view.view, roundFrame,
                                   {shownFrame.PictureX(start.angle, 1.0),
                                    shownFrame.PictureY(start.angle, 1.0)});
  host.DrawStartLine(
      {static_cast<int32_t>(std::lround(centre.x)), static_cast<int32_t>(std::lround(centre.y))},
      {static_cast<int32_t>(std::lround(rimAtStart.x)),
       static_cast<int32_t>(std::lround(rimAtStart.y))});

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
