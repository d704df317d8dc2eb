#pragma once
// The checks before a run writes a file of its own: it must never replace a file the user gave
// as input, nor another result of the same run, nor anything that is not a regular file.

#include <string>

namespace tivenor {

// A file with what it is, as the messages name it: "picture", "MIDI file", "marked picture".
struct NamedFile {
  std::string path;
  std::string what;
};

// Throws RunError, naming both paths, when writing `output` would replace `kept`.
void RefuseReplacing(const NamedFile& output, const NamedFile& kept);

// Throws RunError when `output` exists and is not a regular file.
void RefuseNonRegularOutput(const NamedFile& output);

// Both checks for a MIDI file written beside its picture.
void RefuseUnsafeMidiFile(const std::string& midiFile, const std::string& picture);

}  // namespace tivenor
