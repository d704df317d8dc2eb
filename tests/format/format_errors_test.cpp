// Every kind of mistake in a format file gets one line naming the file, the field and what is
// wrong with it.

#include <gtest/gtest.h>

#include <nlohmann/json.hpp>

#include <functional>
#include <string>
#include <vector>

#include "adapters/format_file/read_format.h"
#include "tests/format/format_texts.h"

namespace tivenor::testing {
namespace {

using nlohmann::json;

struct FieldMistake {
  const char* name;
  std::function<void(json&)> change;  // of the good test format
  const char* message;                // after "\"test.json\": "
};

void PrintTo(const FieldMistake& mistake, std::ostream* out) {
  *out << mistake.name;
}

std::string ErrorOf(const std::string& text) {
  try {
    ParseFormatText(text, "test.json");
  } catch (const FormatError& error) {
    return error.what();
  }
  return "no error";
}

const std::vector<FieldMistake> kFieldMistakes = {
    {"KeyAboveMidi", [](json& f) { f["tracks"]["keys"][3] = 130; },
     "tracks.keys[3]: 130 is not a MIDI key (0 to 127)"},
    {"KeyNotWhole", [](json& f) { f["tracks"]["keys"][1] = 60.5; },
     "tracks.keys[1]: 60.5 is not a whole number"},
    {"KeyAsText", [](json& f) { f["tracks"]["keys"][0] = "C4"; },
     "tracks.keys[0]: \"C4\" is not a number"},
    {"NoKeys", [](json& f) { f["tracks"]["keys"] = json::array(); },
     "tracks.keys: 0 keys: a format has 1 to 256 tracks, one key each"},
    {"KeysNotAnArray", [](json& f) { f["tracks"]["keys"] = 60; },
     "tracks.keys: 60 is not an array [ ... ]"},
    {"UnknownField", [](json& f) { f["colour"] = "brown"; },
     "colour: unknown field (known: format, name, title, unit, diameter, tracks, ring, music, "
     "turn_seconds, start, notes, program, holes, label, drive_holes, time_lead)"},
    {"UnknownTrackField", [](json& f) { f["tracks"]["pich"] = 10; },
     "tracks.pich: unknown field (known: first, pitch, radii, keys)"},
    {"UnknownFieldWithNewline", [](json& f) { f["a\nb"] = 1; },
     "\"a\\nb\": unknown field (known: format, name, title, unit, diameter, tracks, ring, music, "
     "turn_seconds, start, notes, program, holes, label, drive_holes, time_lead)"},
    {"MissingTurnSeconds", [](json& f) { f.erase("turn_seconds"); }, "turn_seconds: missing"},
    {"MissingHoleWidth", [](json& f) { f["holes"].erase("width"); }, "holes.width: missing"},
    {"FormatTwo", [](json& f) { f["format"] = 2; },
     "format: 2 is not a format this program reads (1)"},
    {"FormatMissing", [](json& f) { f.erase("format"); },
     "format: missing; a format file gives \"format\": 1"},
    {"NameWithCapitalsAndSpace", [](json& f) { f["name"] = "Test Disc"; },
     "name: \"Test Disc\" is not a name of 1 to 64 lower-case letters, digits and '-'"},
    {"NameEmpty", [](json& f) { f["name"] = ""; },
     "name: \"\" is not a name of 1 to 64 lower-case letters, digits and '-'"},
    {"NameOfTheBuiltInFormat", [](json& f) { f["name"] = "disc-114-30"; },
     "name: \"disc-114-30\" is the built-in format's name"},
    {"NameAuto", [](json& f) { f["name"] = "auto"; }, "name: \"auto\" is kept for --format auto"},
    {"NameNotText", [](json& f) { f["name"] = 24; }, "name: 24 is not a text in quotes"},
    {"TitleEmpty", [](json& f) { f["title"] = ""; }, "title: empty"},
    {"TitleOfTwoLines", [](json& f) { f["title"] = "Test\ndisc"; },
     "title: \"Test\\ndisc\" holds a control character; a title is one line"},
    {"TitleTooLong", [](json& f) { f["title"] = std::string(201, 'x'); },
     "title: longer than 200 characters"},
    {"UnitInches", [](json& f) { f["unit"] = "inch"; },
     "unit: \"inch\" is not one of \"mm\", \"rim\""},
    {"MillimetresWithoutDiameter", [](json& f) { f.erase("diameter"); },
     "diameter: missing; with \"unit\": \"mm\" the disc's diameter is needed"},
    {"DiameterNegative", [](json& f) { f["diameter"] = -200; },
     "diameter: -200 mm is not greater than 0"},
    {"RimUnitWithDiameterInMillimetres", [](json& f) { f["unit"] = "rim"; },
     "diameter: 200 is not 2: with \"unit\": \"rim\" lengths are fractions of the rim's "
     "radius, and the diameter is 2 of them"},
    {"RadiiNotIncreasing",
     [](json& f) {
       f["tracks"].erase("first");
       f["tracks"].erase("pitch");
       f["tracks"]["radii"] = {40, 50, 50, 70};
     },
     "tracks.radii[2]: 50 mm is not beyond the track before it (50 mm); radii go outwards, "
     "innermost first"},
    {"RadiusOutsideRim",
     [](json& f) {
       f["tracks"].erase("first");
       f["tracks"].erase("pitch");
       f["tracks"]["radii"] = {40, 50, 60, 120};
     },
     "tracks.radii[3]: 120 mm lies outside the rim (100 mm from the centre)"},
    {"RadiusZero",
     [](json& f) {
       f["tracks"].erase("first");
       f["tracks"].erase("pitch");
       f["tracks"]["radii"] = {0, 50, 60, 70};
     },
     "tracks.radii[0]: 0 mm is not greater than 0"},
    {"RadiiForFewerTracksThanKeys",
     [](json& f) {
       f["tracks"].erase("first");
       f["tracks"].erase("pitch");
       f["tracks"]["radii"] = {40, 50, 60};
     },
     "tracks.radii: 3 radii for 4 keys: one key per track"},
    {"RadiiBesidesFirstAndPitch",
     [](json& f) {
       f["tracks"]["radii"] = {40, 50, 60, 70};
     },
     "tracks: give \"radii\", or \"first\" and \"pitch\", not both"},
    {"NeitherRadiiNorPitch",
     [](json& f) {
       f["tracks"].erase("first");
       f["tracks"].erase("pitch");
     },
     "tracks: give \"radii\", or \"first\" and \"pitch\""},
    {"FirstWithoutPitch", [](json& f) { f["tracks"].erase("pitch"); },
     "tracks.pitch: missing; it goes with \"first\""},
    {"PitchCarriesTracksOverTheRim", [](json& f) { f["tracks"]["pitch"] = 25; },
     "tracks.pitch: track 4 would lie at 115 mm, outside the rim (100 mm from the centre)"},
    {"PitchZero", [](json& f) { f["tracks"]["pitch"] = 0; },
     "tracks.pitch: 0 mm is not greater than 0"},
    {"RingNotAPair", [](json& f) { f["ring"] = {35}; }, "ring: [35] is not a pair [inner, outer]"},
    {"RingNegative", [](json& f) { f["ring"][0] = -1; }, "ring[0]: -1 mm is negative"},
    {"RingInnerOverTheTracks", [](json& f) { f["ring"][0] = 45; },
     "ring[0]: 45 mm is not inside the innermost track (40 mm)"},
    {"RingOuterWithinTheTracks", [](json& f) { f["ring"][1] = 65; },
     "ring[1]: 65 mm is not outside the outermost track (70 mm)"},
    {"RingOuterAtTheRim", [](json& f) { f["ring"][1] = 100; },
     "ring[1]: 100 mm is not inside the rim (100 mm from the centre)"},
    {"MusicAnticlockwise", [](json& f) { f["music"] = "anticlockwise"; },
     "music: \"anticlockwise\" is not one of \"counter-clockwise\", \"clockwise\""},
    {"TurnSecondsZero", [](json& f) { f["turn_seconds"] = 0; },
     "turn_seconds: 0 is not a number of seconds above 0 and at most 3600"},
    {"TurnSecondsAsText", [](json& f) { f["turn_seconds"] = "60"; },
     "turn_seconds: \"60\" is not a number"},
    {"StartUnknown", [](json& f) { f["start"] = "gap"; },
     "start: \"gap\" is not \"widest-gap\", \"line\", {\"sectors\": N} or {\"angle\": DEGREES}"},
    {"StartWithTwoRules",
     [](json& f) {
       f["start"] = {{"sectors", 24}, {"angle", 10}};
     },
     "start: give one rule, {\"sectors\": N} or {\"angle\": DEGREES}, not both"},
    {"StartWithNoRule", [](json& f) { f["start"] = json::object(); },
     "start: {} gives no rule: give {\"sectors\": N} or {\"angle\": DEGREES}"},
    {"StartOneSector",
     [](json& f) {
       f["start"] = {{"sectors", 1}};
     },
     "start.sectors: 1 is not a number of sectors (2 to 360)"},
    {"StartAngleFullTurn",
     [](json& f) {
       f["start"] = {{"angle", 360}};
     },
     "start.angle: 360 is not an angle from 0 to below 360 degrees"},
    {"StartUnknownRule",
     [](json& f) {
       f["start"] = {{"degrees", 10}};
     },
     "start.degrees: unknown field (known: sectors, angle)"},
    {"NotesBowed", [](json& f) { f["notes"] = "bowed"; },
     "notes: \"bowed\" is not one of \"plucked\", \"sustained\""},
    {"ProgramAboveMidi", [](json& f) { f["program"] = 128; },
     "program: 128 is not a General MIDI program (0 to 127)"},
    {"HoleSizesReversed",
     [](json& f) {
       f["holes"]["length"] = {20, 2};
     },
     "holes.length: the minimum 20 mm is above the maximum 2 mm"},
    {"HoleWidthZero", [](json& f) { f["holes"]["width"][0] = 0; },
     "holes.width[0]: 0 mm is not greater than 0"},
    {"HoleWiderThanTheDisc", [](json& f) { f["holes"]["width"][1] = 150; },
     "holes.width[1]: 150 mm is larger than the rim's radius (100 mm)"},
    {"HolesNotAnObject",
     [](json& f) {
       f["holes"] = {2, 20};
     },
     "holes: [2,20] is not an object { ... }"},
    {"LabelOverTheTracks", [](json& f) { f["label"] = 45; },
     "label: 45 mm reaches over the innermost track (40 mm)"},
    {"DriveHolesNone",
     [](json& f) {
       f["drive_holes"] = {{"radius", 20}, {"count", 0}};
     },
     "drive_holes.count: 0 is not a number of drive holes (1 to 64)"},
    {"DriveHolesAmongTheTracks",
     [](json& f) {
       f["drive_holes"] = {{"radius", 55}, {"count", 4}};
     },
     "drive_holes.radius: 55 mm is not inside the innermost track (40 mm)"},
    {"DriveHolesWithoutCount",
     [](json& f) {
       f["drive_holes"] = {{"radius", 20}};
     },
     "drive_holes.count: missing"},
    {"TimeLeadNegative", [](json& f) { f["time_lead"] = -0.4; }, "time_lead: -0.4 mm is negative"},
    {"TimeLeadOfATurn", [](json& f) { f["time_lead"] = 40; },
     "time_lead: 40 mm is not less than the radius of the innermost track (40 mm)"},
};

class FieldMistakes : public ::testing::TestWithParam<FieldMistake> {};

TEST_P(FieldMistakes, GetOneLineNamingTheFileAndTheField) {
  json format = json::parse(kTestFormatText);
  GetParam().change(format);
  EXPECT_EQ(ErrorOf(format.dump(2)), std::string("\"test.json\": ") + GetParam().message);
}

INSTANTIATE_TEST_SUITE_P(Format, FieldMistakes, ::testing::ValuesIn(kFieldMistakes),
                         [](const auto& info) { return std::string(info.param.name); });

struct TextMistake {
  const char* name;
  std::string text;
  const char* message;  // after "\"test.json\": "
};

const std::vector<TextMistake> kTextMistakes = {
    {"Empty", " \n", "the file is empty"},
    {"MissingComma", "{\n  \"format\": 1\n  \"name\": \"x\"\n}",
     "line 3, column 8: syntax error while parsing object - unexpected string literal; "
     "expected '}'"},
    {"UnclosedObject", "{\"format\": 1,\n",
     "line 2, column 1: syntax error while parsing "
     "object key - unexpected end of input; expected "
     "string literal"},
    {"InvalidUtf8", "{\"format\": 1, \"title\": \"\xff\"}",
     "line 1, column 25: syntax error while parsing value - invalid string: ill-formed UTF-8 "
     "byte; last read: '\"<FF>'"},
    {"NumberTooLarge", "{\"format\": 1,\n \"title\": \"1e400\", \"x\": [1e40, 1e400]}",
     "line 2, column 32: the number 1e400 is too large"},
    {"NotAnObject", "[1, 2]", "the file holds [1,2], not a format { \"format\": 1, ... }"},
    {"FieldGivenTwice", "{\"format\": 1, \"name\": \"a\", \"name\": \"b\"}", "name: given twice"},
    {"NestedFieldGivenTwice", "{\"format\": 1, \"tracks\": {\"keys\": [1], \"keys\": [2]}}",
     "tracks.keys: given twice"},
    {"FieldGivenTwiceInAnArray", "{\"format\": 1, \"x\": [0, {\"a\": 1, \"a\": 2}]}",
     "x[1].a: given twice"},
    {"NestedTooDeep", std::string(100, '[') + std::string(100, ']'),
     "nested deeper than 32 levels of [ ] and { }"},
};

void PrintTo(const TextMistake& mistake, std::ostream* out) {
  *out << mistake.name;
}

class TextMistakes : public ::testing::TestWithParam<TextMistake> {};

TEST_P(TextMistakes, GetOneLineNamingTheFileAndThePlace) {
  EXPECT_EQ(ErrorOf(GetParam().text), std::string("\"test.json\": ") + GetParam().message);
}

INSTANTIATE_TEST_SUITE_P(Format, TextMistakes, ::testing::ValuesIn(kTextMistakes),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(FormatMessages, AreOneLineHoweverLongTheValue) {
  json format = json::parse(kTestFormatText);
  format["music"] = std::string(5000, 'x');
  const std::string message = ErrorOf(format.dump());
  EXPECT_EQ(message.find('\n'), std::string::npos);
  EXPECT_LT(message.size(), 200U) << message;
  EXPECT_EQ(ErrorOf("{\"format\": 1, \"title\": \"" + std::string(5000, 'y')).find('\n'),
            std::string::npos);
}

}  // namespace
}  // namespace tivenor::testing
