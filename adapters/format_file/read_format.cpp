#include "adapters/format_file/read_format.h"

#include <array>
#include <cstdint>
#include <numbers>
#include <vector>

#include "adapters/format_file/find_format.h"
#include "adapters/format_file/format_fields.h"
#include "adapters/format_file/json_text.h"
#include "engine/base/run_error.h"
#include "engine/files/small_file.h"

namespace tivenor {

namespace {

using format_file::FieldCheck;
using format_file::ItemPath;
using format_file::Json;
using format_file::Shown;

constexpr int kFormatVersion = 1;
constexpr std::size_t kMostTracks = 256;
constexpr std::size_t kLongestName = 64;
constexpr std::size_t kLongestTitle = 200;  // characters
constexpr int kFewestSectors = 2;
constexpr int kMostSectors = 360;
constexpr int kMostDriveHoles = 64;

constexpr const char* kFormatFields[] = {
    "format",       "name",  "title", "unit",    "diameter", "tracks", "ring",        "music",
    "turn_seconds", "start", "notes", "program", "holes",    "label",  "drive_holes", "time_lead"};
constexpr const char* kTrackFields[] = {"first", "pitch", "radii", "keys"};
constexpr const char* kStartFields[] = {"sectors", "angle"};
constexpr const char* kHoleFields[] = {"length", "width"};
constexpr const char* kDriveHoleFields[] = {"radius", "count"};
constexpr const char* kUnits[] = {"mm", "rim"};
constexpr const char* kMusicDirections[] = {"counter-clockwise", "clockwise"};
constexpr const char* kNoteKinds[] = {"plucked", "sustained"};

// Lengths as the file gives them, in millimetres or in rim radii ("R"): messages show them so,
// the format keeps them as fractions of the rim's radius.
class Lengths {
 public:
  Lengths(const FieldCheck& check, bool millimetres, double rimRadius)
      : check_(check), millimetres_(millimetres), rim_(rimRadius) {}

  double Rim() const { return rim_; }
  double ToRim(double length) const { return length / rim_; }
  std::string Text(double length) const { return Shown(length) + (millimetres_ ? " mm" : " R"); }

  double Positive(const Json& value, const std::string& path) const {
    const double length = check_.Number(value, path);
    if (!(length > 0)) check_.Fail(path, Text(length) + " is not greater than 0");
    return length;
  }
  // A distance from the centre that lies inside the rim.
  double Radius(const Json& value, const std::string& path) const {
    const double radius = Positive(value, path);
    if (!(radius < rim_)) {
      check_.Fail(path, Text(radius) + " lies outside the rim (" + RimText() + ")");
    }
    return radius;
  }
  std::string RimText() const { return Text(rim_) + " from the centre"; }

 private:
  const FieldCheck& check_;
  bool millimetres_;
  double rim_;
};

void CheckVersion(const Json& root, const FieldCheck& check) {
  const Json* version = FieldCheck::Optional(root, "format");
  if (version == nullptr) {
    check.Fail("format",
               "missing; a format file gives \"format\": " + std::to_string(kFormatVersion));
  }
  if (!version->is_number() || version->get<double>() != kFormatVersion) {
    check.Fail("format", Shown(*version) + " is not a format this program reads (" +
                             std::to_string(kFormatVersion) + ")");
  }
}

std::string ReadName(const Json& value, const FieldCheck& check) {
  std::string name = check.Text(value, "name");
  bool plain = !name.empty() && name.size() <= kLongestName;
  for (const char c : name)
    plain = plain && ((c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '-');
  if (!plain) {
    check.Fail("name", Shown(value) + " is not a name of 1 to " + std::to_string(kLongestName) +
                           " lower-case letters, digits and '-'");
  }
  // The built-in disc is told apart by its name, and "auto" asks the converter to choose.
  if (name == BuiltInDiscFormat().name)
    check.Fail("name", Shown(value) + " is the built-in format's name");
  if (name == kChooseFormatName) check.Fail("name", Shown(value) + " is kept for --format auto");
  return name;
}

std::string ReadTitle(const Json& value, const FieldCheck& check) {
  std::string title = check.Text(value, "title");
  if (title.empty()) check.Fail("title", "empty");
  std::size_t characters = 0;
  for (const char c : title) {
    const auto byte = static_cast<unsigned char>(c);
    if (byte < 0x20U || byte == 0x7FU) {
      check.Fail("title", Shown(value) + " holds a control character; a title is one line");
    }
    if ((byte & 0xC0U) != 0x80U) ++characters;
  }
  if (characters > kLongestTitle) {
    check.Fail("title", "longer than " + std::to_string(kLongestTitle) + " characters");
  }
  return title;
}

Lengths ReadUnit(const Json& root, const FieldCheck& check, DiscFormat& format) {
  const bool millimetres = check.Choice(check.Required(root, "", "unit"), "unit", kUnits) == 0;
  const Json* diameter = FieldCheck::Optional(root, "diameter");
  if (millimetres) {
    if (diameter == nullptr) {
      check.Fail("diameter", "missing; with \"unit\": \"mm\" the disc's diameter is needed");
    }
    const double millimetresAcross = check.Number(*diameter, "diameter");
    if (!(millimetresAcross > 0)) {
      check.Fail("diameter", Shown(millimetresAcross) + " mm is not greater than 0");
    }
    format.diameterMm = millimetresAcross;
    return {check, true, millimetresAcross / 2};
  }
  if (diameter != nullptr && check.Number(*diameter, "diameter") != 2) {
    check.Fail("diameter", Shown(*diameter) +
                               " is not 2: with \"unit\": \"rim\" lengths are fractions of the "
                               "rim's radius, and the diameter is 2 of them");
  }
  format.diameterMm = 0;  // not known
  return {check, false, 1.0};
}

// The tracks' radii as the file gives them, for the messages of the fields that depend on them.
std::vector<double> ReadTracks(const Json& tracks, const Lengths& lengths, const FieldCheck& check,
                               DiscFormat& format) {
  check.Object(tracks, "tracks", kTrackFields);
  const Json& keys = check.Array(check.Required(tracks, "tracks", "keys"), "tracks.keys");
  if (keys.empty() || keys.size() > kMostTracks) {
    check.Fail("tracks.keys", std::to_string(keys.size()) + " keys: a format has 1 to " +
                                  std::to_string(kMostTracks) + " tracks, one key each");
  }
  for (std::size_t track = 0; track < keys.size(); ++track) {
    format.keys.push_back(static_cast<uint8_t>(
        check.WholeNumber(keys[track], ItemPath("tracks.keys", track), 0, 127, "a MIDI key")));
  }
  const Json* radii = FieldCheck::Optional(tracks, "radii");
  const Json* first = FieldCheck::Optional(tracks, "first");
  const Json* pitch = FieldCheck::Optional(tracks, "pitch");
  std::vector<double> given;
  if (radii != nullptr) {
    if (first != nullptr || pitch != nullptr) {
      check.Fail("tracks", "give \"radii\", or \"first\" and \"pitch\", not both");
    }
    check.Array(*radii, "tracks.radii");
    if (radii->size() != keys.size()) {
      check.Fail("tracks.radii", std::to_string(radii->size()) + " radii for " +
                                     std::to_string(keys.size()) + " keys: one key per track");
    }
    for (std::size_t track = 0; track < radii->size(); ++track) {
      const std::string path = ItemPath("tracks.radii", track);
      const double radius = lengths.Radius((*radii)[track], path);
      if (!given.empty() && !(radius > given.back())) {
        check.Fail(path, lengths.Text(radius) + " is not beyond the track before it (" +
                             lengths.Text(given.back()) + "); radii go outwards, innermost first");
      }
      given.push_back(radius);
    }
  } else {
    if (first == nullptr && pitch == nullptr) {
      check.Fail("tracks", "give \"radii\", or \"first\" and \"pitch\"");
    }
    if (pitch == nullptr) check.Fail("tracks.pitch", "missing; it goes with \"first\"");
    if (first == nullptr) check.Fail("tracks.first", "missing; it goes with \"pitch\"");
    const double innermost = lengths.Radius(*first, "tracks.first");
    const double spacing = lengths.Positive(*pitch, "tracks.pitch");
    for (std::size_t track = 0; track < keys.size(); ++track) {
      const double radius = innermost + static_cast<double>(track) * spacing;
      if (!(radius < lengths.Rim())) {
        check.Fail("tracks.pitch", "track " + std::to_string(track + 1) + " would lie at " +
                                       lengths.Text(radius) + ", outside the rim (" +
                                       lengths.RimText() + ")");
      }
      given.push_back(radius);
    }
  }
  for (const double radius : given) format.trackRadii.push_back(lengths.ToRim(radius));
  return given;
}

void ReadRing(const Json& value, const Lengths& lengths, const std::vector<double>& tracks,
              const FieldCheck& check, DiscFormat& format) {
  const auto [inner, outer] = check.Pair(value, "ring", "[inner, outer]");
  if (inner < 0) check.Fail("ring[0]", lengths.Text(inner) + " is negative");
  if (!(inner < tracks.front())) {
    check.Fail("ring[0]", lengths.Text(inner) + " is not inside the innermost track (" +
                              lengths.Text(tracks.front()) + ")");
  }
  if (!(outer > tracks.back())) {
    check.Fail("ring[1]", lengths.Text(outer) + " is not outside the outermost track (" +
                              lengths.Text(tracks.back()) + ")");
  }
  if (!(outer < lengths.Rim())) {
    check.Fail("ring[1]",
               lengths.Text(outer) + " is not inside the rim (" + lengths.RimText() + ")");
  }
  format.ringInner = lengths.ToRim(inner);
  format.ringOuter = lengths.ToRim(outer);
}

void ReadStart(const Json& start, const FieldCheck& check, DiscFormat& format) {
  if (start == "widest-gap") {
    format.start = StartRule::kWidestGap;
  } else if (start == "line") {
    format.start = StartRule::kLine;
  } else if (start.is_object()) {
    check.Object(start, "start", kStartFields);
    const Json* sectors = FieldCheck::Optional(start, "sectors");
    const Json* angle = FieldCheck::Optional(start, "angle");
    if (sectors != nullptr && angle != nullptr) {
      check.Fail("start", "give one rule, {\"sectors\": N} or {\"angle\": DEGREES}, not both");
    }
    if (sectors != nullptr) {
      format.start = StartRule::kSectors;
      format.startSectors = check.WholeNumber(*sectors, "start.sectors", kFewestSectors,
                                              kMostSectors, "a number of sectors");
    } else if (angle != nullptr) {
      const double degrees = check.Number(*angle, "start.angle");
      if (!(degrees >= 0 && degrees < 360)) {
        check.Fail("start.angle", Shown(degrees) + " is not an angle from 0 to below 360 degrees");
      }
      format.start = StartRule::kAngle;
      format.startAngleDegrees = degrees;
    } else {
      check.Fail("start", "{} gives no rule: give {\"sectors\": N} or {\"angle\": DEGREES}");
    }
  } else {
    check.Fail("start", Shown(start) +
                            " is not \"widest-gap\", \"line\", {\"sectors\": N} or "
                            "{\"angle\": DEGREES}");
  }
}

// [minimum, maximum], each above 0 and at most `limit` (named by `limitName`).
SizeRange ReadSizes(const Json& value, const std::string& path, const Lengths& lengths,
                    double limit, const char* limitName, const FieldCheck& check) {
  const auto [minimum, maximum] = check.Pair(value, path, "[minimum, maximum]");
  if (!(minimum > 0))
    check.Fail(ItemPath(path, 0), lengths.Text(minimum) + " is not greater than 0");
  if (minimum > maximum) {
    check.Fail(path, "the minimum " + lengths.Text(minimum) + " is above the maximum " +
                         lengths.Text(maximum));
  }
  if (maximum > limit) {
    check.Fail(ItemPath(path, 1), lengths.Text(maximum) + " is larger than " + limitName + " (" +
                                      lengths.Text(limit) + ")");
  }
  return {lengths.ToRim(minimum), lengths.ToRim(maximum)};
}

void ReadHoles(const Json& holes, const Lengths& lengths, const FieldCheck& check,
               DiscFormat& format) {
  check.Object(holes, "holes", kHoleFields);
  // A slot can be no longer than the rim goes round, nor wider than the disc's radius.
  format.holeLength =
      ReadSizes(check.Required(holes, "holes", "length"), "holes.length", lengths,
                2 * std::numbers::pi * lengths.Rim(), "the rim's circumference", check);
  format.holeWidth = ReadSizes(check.Required(holes, "holes", "width"), "holes.width", lengths,
                               lengths.Rim(), "the rim's radius", check);
}

void ReadOptionalFields(const Json& root, const Lengths& lengths, const std::vector<double>& tracks,
                        const FieldCheck& check, DiscFormat& format) {
  const std::string innermost = "the innermost track (" + lengths.Text(tracks.front()) + ")";
  if (const Json* label = FieldCheck::Optional(root, "label")) {
    const double radius = lengths.Positive(*label, "label");
    if (!(radius < tracks.front())) {
      check.Fail("label", lengths.Text(radius) + " reaches over " + innermost);
    }
    format.labelRadius = lengths.ToRim(radius);
  }
  if (const Json* driveHoles = FieldCheck::Optional(root, "drive_holes")) {
    check.Object(*driveHoles, "drive_holes", kDriveHoleFields);
    const double radius = lengths.Positive(check.Required(*driveHoles, "drive_holes", "radius"),
                                           "drive_holes.radius");
    if (!(radius < tracks.front())) {
      check.Fail("drive_holes.radius", lengths.Text(radius) + " is not inside " + innermost);
    }
    format.driveHoleRadius = lengths.ToRim(radius);
    format.driveHoles =
        check.WholeNumber(check.Required(*driveHoles, "drive_holes", "count"), "drive_holes.count",
                          1, kMostDriveHoles, "a number of drive holes");
  }
  if (const Json* timeLead = FieldCheck::Optional(root, "time_lead")) {
    const double lead = check.Number(*timeLead, "time_lead");
    if (lead < 0) check.Fail("time_lead", lengths.Text(lead) + " is negative");
    // A note sounds lead / r turns late: a lead of r or more would put it a turn late or more.
    if (!(lead < tracks.front())) {
      check.Fail("time_lead", lengths.Text(lead) + " is not less than the radius of " + innermost);
    }
    format.timeLead = lengths.ToRim(lead);
  }
}

}  // namespace

DiscFormat ParseFormatText(std::string_view text, const std::string& fileName) {
  const FieldCheck check(fileName);
  const Json root = format_file::ParseJsonText(text, check);
  if (!root.is_object()) {
    check.Fail("", "the file holds " + Shown(root) + ", not a format { \"format\": 1, ... }");
  }
  CheckVersion(root, check);
  check.Object(root, "", kFormatFields);

  DiscFormat format;
  format.name = ReadName(check.Required(root, "", "name"), check);
  format.title = ReadTitle(check.Required(root, "", "title"), check);
  const Lengths lengths = ReadUnit(root, check, format);
  const std::vector<double> tracks =
      ReadTracks(check.Required(root, "", "tracks"), lengths, check, format);
  ReadRing(check.Required(root, "", "ring"), lengths, tracks, check, format);
  format.music = check.Choice(check.Required(root, "", "music"), "music", kMusicDirections) == 0
                     ? MusicDirection::kCounterClockwise
                     : MusicDirection::kClockwise;
  format.turnSeconds = check.Number(check.Required(root, "", "turn_seconds"), "turn_seconds");
  if (!(format.turnSeconds > 0 && format.turnSeconds <= kLongestTurnSeconds)) {
    check.Fail("turn_seconds", Shown(format.turnSeconds) +
                                   " is not a number of seconds above 0 and at most " +
                                   Shown(kLongestTurnSeconds));
  }
  ReadStart(check.Required(root, "", "start"), check, format);
  format.notes = check.Choice(check.Required(root, "", "notes"), "notes", kNoteKinds) == 0
                     ? NoteKind::kPlucked
                     : NoteKind::kSustained;
  format.program = check.WholeNumber(check.Required(root, "", "program"), "program", 0, 127,
                                     "a General MIDI program");
  ReadHoles(check.Required(root, "", "holes"), lengths, check, format);
  ReadOptionalFields(root, lengths, tracks, check, format);
  return format;
}

DiscFormat ReadFormatFile(const std::string& fileName) {
  std::string text;
  try {
    text = ReadSmallFile(fileName, kLargestFormatFileBytes, "a format file");
  } catch (const RunError& error) {
    throw FormatError(error.what());  // its text already names the file
  }
  return ParseFormatText(text, fileName);
}

}  // namespace tivenor
