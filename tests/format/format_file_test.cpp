// Format files read into formats: the bundled ones with their facts, the built-in one by its name,
// files in both units, and files that are no format files.

#include <gtest/gtest.h>

#include <sys/stat.h>

#include <chrono>
#include <fstream>
#include <string>

#include "adapters/format_file/bundled_format_texts.h"
#include "adapters/format_file/find_format.h"
#include "adapters/format_file/read_format.h"
#include "tests/e2e/temp_folder.h"
#include "tests/format/format_texts.h"

namespace tivenor::testing {
namespace {

void WriteFile(const std::string& fileName, const std::string& text) {
  std::ofstream(fileName, std::ios::binary) << text;
}

std::string ErrorOf(const std::string& nameOrPath) {
  try {
    FindFormat(nameOrPath);
  } catch (const FormatError& error) {
    return error.what();
  }
  return "no error";
}

TEST(BundledFormats, AreListedAfterTheBuiltInOneUnderTheirFileNames) {
  const std::vector<DiscFormat> formats = ListFormats();
  ASSERT_EQ(formats.size(), 3U);
  EXPECT_EQ(formats[0].name, "disc-114-30");
  EXPECT_TRUE(IsBuiltIn(formats[0]));
  EXPECT_EQ(formats[1].name, "ariston-24");
  EXPECT_EQ(formats[2].name, "piano-player-36");
  for (const BundledFormatText& bundled : BundledFormatTexts()) {
    const DiscFormat format = ParseFormatText(bundled.text, std::string(bundled.fileName));
    EXPECT_EQ(format.name + ".json", bundled.fileName);
    EXPECT_FALSE(IsBuiltIn(format));
  }
}

TEST(BundledFormats, AristonHoldsTheMeasuredDisc) {
  const DiscFormat format = FindFormat("ariston-24");
  EXPECT_EQ(format.title, "Ariston organette disc, 24 tracks, 33 cm");
  EXPECT_EQ(format.diameterMm, 330);
  const std::vector<uint8_t> keys = {45, 47, 50, 52, 57, 59, 61, 62, 64, 66, 68, 69,
                                     71, 73, 74, 75, 76, 78, 79, 80, 81, 83, 85, 86};
  EXPECT_EQ(format.keys, keys);
  ASSERT_EQ(format.TrackCount(), 24);
  for (int track = 0; track < 24; ++track) {
    EXPECT_NEAR(format.trackRadii[static_cast<std::size_t>(track)], 0.4195 + 0.02374 * track,
                1e-12);
  }
  EXPECT_NEAR(format.labelRadius, 0.378, 0.001);
  EXPECT_NEAR(format.driveHoleRadius, 0.22, 1e-12);
  EXPECT_EQ(format.driveHoles, 4);
  // Slots 0.021 R wide lie within the hole widths, and the ring holds every slot whole.
  EXPECT_LT(format.holeWidth.minimum, 0.021);
  EXPECT_GT(format.holeWidth.maximum, 0.021);
  EXPECT_LT(format.ringInner, format.trackRadii.front() - 0.0105);
  EXPECT_GT(format.ringInner, format.labelRadius);
  EXPECT_GT(format.ringOuter, format.trackRadii.back() + 0.0105);
  EXPECT_EQ(format.music, MusicDirection::kCounterClockwise);
  EXPECT_EQ(format.start, StartRule::kLine);
  EXPECT_EQ(format.notes, NoteKind::kSustained);
  EXPECT_EQ(format.turnSeconds, 60);
  EXPECT_EQ(format.program, 20);
  EXPECT_EQ(format.timeLead, 0);
}

TEST(BundledFormats, PianoPlayerIsGivenInRimRadii) {
  const DiscFormat format = FindFormat("piano-player-36");
  EXPECT_EQ(format.diameterMm, 0);  // not known
  const std::vector<uint8_t> keys = {43, 45, 47, 48, 50, 52, 53, 54, 55, 57, 59, 60,
                                     61, 62, 63, 64, 65, 66, 67, 68, 69, 70, 71, 72,
                                     73, 74, 75, 76, 77, 78, 79, 80, 81, 82, 83, 84};
  EXPECT_EQ(format.keys, keys);
  ASSERT_EQ(format.TrackCount(), 36);
  for (int track = 0; track < 36; ++track) {
    EXPECT_NEAR(format.trackRadii[static_cast<std::size_t>(track)], 0.325 + 0.01846 * track, 1e-12);
  }
  EXPECT_EQ(format.labelRadius, 0.30);
  EXPECT_LT(format.ringInner, format.trackRadii.front());
  EXPECT_GT(format.ringInner, format.labelRadius);
  EXPECT_EQ(format.music, MusicDirection::kCounterClockwise);
  EXPECT_EQ(format.start, StartRule::kLine);
  EXPECT_EQ(format.notes, NoteKind::kSustained);
  EXPECT_EQ(format.program, 0);
}

TEST(BuiltInFormat, IsFoundByItsNameUnchanged) {
  const DiscFormat found = FindFormat("disc-114-30");
  const DiscFormat& builtIn = BuiltInDiscFormat();
  EXPECT_TRUE(IsBuiltIn(found));
  EXPECT_EQ(found.trackRadii, builtIn.trackRadii);
  EXPECT_EQ(found.keys, builtIn.keys);
  EXPECT_EQ(found.startSectors, builtIn.startSectors);
  EXPECT_EQ(found.timeLead, builtIn.timeLead);
  EXPECT_EQ(found.TrackCount(), 30);
}

TEST(FormatFiles, InMillimetresBecomeFractionsOfTheRim) {
  const DiscFormat format = ParseFormatText(kTestFormatText, "test.json");
  EXPECT_EQ(format.name, "test-disc");
  EXPECT_EQ(format.diameterMm, 200);
  EXPECT_EQ(format.trackRadii, (std::vector<double>{0.4, 0.5, 0.6, 0.7}));
  EXPECT_EQ(format.keys, (std::vector<uint8_t>{60, 62, 64, 65}));
  EXPECT_EQ(format.ringInner, 0.35);
  EXPECT_EQ(format.ringOuter, 0.8);
  EXPECT_EQ(format.music, MusicDirection::kClockwise);
  EXPECT_EQ(format.start, StartRule::kWidestGap);
  EXPECT_EQ(format.notes, NoteKind::kPlucked);
  EXPECT_EQ(format.holeLength.minimum, 0.02);
  EXPECT_EQ(format.holeLength.maximum, 0.2);
  EXPECT_EQ(format.holeWidth.maximum, 0.04);
  EXPECT_EQ(format.labelRadius, 0);
  EXPECT_EQ(format.driveHoles, 0);
}

TEST(FormatFiles, InRimRadiiWithRadiiCommentsAndEveryOptionalField) {
  const DiscFormat format = ParseFormatText(R"({
    // measured on three discs
    "format": 1, "name": "my-disc-7", "title": "Seven tracks, size unknown",
    "unit": "rim", "diameter": 2,
    "tracks": { "radii": [0.3, 0.4, 0.45, 0.5, 0.6, 0.7, 0.9], "keys": [0, 1, 2, 3, 4, 5, 127] },
    "ring": [0, 0.95], /* the whole disc */
    "music": "counter-clockwise", "turn_seconds": 12.5, "start": {"angle": 92.4},
    "notes": "sustained", "program": 127,
    "holes": { "length": [0.01, 0.5], "width": [0.01, 0.02] },
    "label": 0.25, "drive_holes": { "radius": 0.1, "count": 3 }, "time_lead": 0.007
  })",
                                            "mine.json");
  EXPECT_EQ(format.diameterMm, 0);
  EXPECT_EQ(format.trackRadii, (std::vector<double>{0.3, 0.4, 0.45, 0.5, 0.6, 0.7, 0.9}));
  EXPECT_EQ(format.keys.back(), 127);
  EXPECT_EQ(format.ringInner, 0);
  EXPECT_EQ(format.start, StartRule::kAngle);
  EXPECT_EQ(format.startAngleDegrees, 92.4);
  EXPECT_EQ(format.turnSeconds, 12.5);
  EXPECT_EQ(format.labelRadius, 0.25);
  EXPECT_EQ(format.driveHoleRadius, 0.1);
  EXPECT_EQ(format.driveHoles, 3);
  EXPECT_EQ(format.timeLead, 0.007);

  const DiscFormat sectors = ParseFormatText(
      R"({"format": 1, "name": "s", "title": "S", "unit": "rim", "tracks": {"first": 0.5,
          "pitch": 0.1, "keys": [60]}, "ring": [0.4, 0.6], "music": "clockwise",
          "turn_seconds": 3600, "start": {"sectors": 24}, "notes": "plucked", "program": 0,
          "holes": {"length": [0.1, 0.1], "width": [0.05, 0.05]}})",
      "sectors.json");
  EXPECT_EQ(sectors.start, StartRule::kSectors);
  EXPECT_EQ(sectors.startSectors, 24);
}

TEST(FormatFiles, AreFoundByTheirPath) {
  const TempFolder folder;
  WriteFile(folder.File("test.json"), kTestFormatText);
  EXPECT_EQ(FindFormat(folder.File("test.json")).name, "test-disc");
  // A name with '/' is a path whatever it ends in; one ending in .json is a path without '/'.
  WriteFile(folder.File("format.txt"), kTestFormatText);
  EXPECT_EQ(FindFormat(folder.File("format.txt")).name, "test-disc");
  EXPECT_EQ(ErrorOf("nowhere.json"), "\"nowhere.json\": No such file or directory");
  // File names are bytes: one that is no UTF-8 is read all the same.
  const std::string odd = folder.File("disc-\xff.json");
  WriteFile(odd, kTestFormatText);
  EXPECT_EQ(FindFormat(odd).name, "test-disc");
}

TEST(FormatFiles, UnknownNamesGetTheKnownOnes) {
  EXPECT_EQ(ErrorOf("ariston"),
            "unknown disc format \"ariston\"; known formats: disc-114-30, ariston-24, "
            "piano-player-36; or give a format file's path");
  EXPECT_EQ(ErrorOf(""),
            "unknown disc format \"\"; known formats: disc-114-30, ariston-24, "
            "piano-player-36; or give a format file's path");
}

TEST(FormatFiles, ThatAreNoRegularFilesAreRefusedWithoutWaiting) {
  const TempFolder folder;
  const std::string pipe = folder.File("pipe.json");
  ASSERT_EQ(mkfifo(pipe.c_str(), 0600), 0);
  const auto start = std::chrono::steady_clock::now();
  EXPECT_EQ(ErrorOf(pipe), "\"" + pipe + "\": it is a named pipe, not a regular file");
  EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(5));
  EXPECT_EQ(ErrorOf(folder.path().string() + "/"),
            "\"" + folder.path().string() + "/\": it is a folder, not a regular file");
  EXPECT_EQ(ErrorOf("/dev/zero"), "\"/dev/zero\": it is a device, not a regular file");
}

TEST(FormatFiles, LargerThanAMegabyteAreRefused) {
  const TempFolder folder;
  std::string text = kTestFormatText;
  text.insert(1, std::string(kLargestFormatFileBytes - text.size(), ' '));
  WriteFile(folder.File("spacious.json"), text);
  EXPECT_EQ(FindFormat(folder.File("spacious.json")).name, "test-disc");
  WriteFile(folder.File("large.json"), text + " ");
  EXPECT_EQ(ErrorOf(folder.File("large.json")),
            "\"" + folder.File("large.json") + "\": too large for a format file (more than 1 MB)");
}

}  // namespace
}  // namespace tivenor::testing
