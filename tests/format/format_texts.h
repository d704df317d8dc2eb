#pragma once
// A small, good format file in millimetres for the tests to change or to write out: 200 mm, four
// tracks at 40, 50, 60 and 70 mm, clockwise.

namespace tivenor::testing {

inline constexpr const char* kTestFormatText = R"({
  "format": 1,
  "name": "test-disc",
  "title": "Test disc, 4 tracks, 20 cm",
  "unit": "mm",
  "diameter": 200,
  "tracks": { "first": 40, "pitch": 10, "keys": [60, 62, 64, 65] },
  "ring": [35, 80],
  "music": "clockwise",
  "turn_seconds": 30,
  "start": "widest-gap",
  "notes": "plucked",
  "program": 10,
  "holes": { "length": [2, 20], "width": [2, 4] }
}
)";

}  // namespace tivenor::testing
