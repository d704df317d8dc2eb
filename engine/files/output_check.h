#pragma once
// The checks before a run writes a file of its own: it must never replace a file the user gave
// as input, nor another result of the same run, nor anything that is not a regular file, nor a
// file of the user's where only one of the program's own may stand.

#include <cstddef>
#include <string>
#include <string_view>

namespace tivenor {

// A file with what it is, as the messages name it: "picture", "MIDI file", "marked picture".
struct NamedFile {
  std::string path;
  std::string what;
};

// Which existing file a writer may replace: any regular file, or only one of its own, which it
// recognises by its bytes (never more than `largestOwn` of them: a larger file is not its own).
struct ReplaceRule {
  std::size_t largestOwn = 0;
  bool (*isOwn)(std::string_view bytes) = nullptr;  // nullptr: any regular file
};

// Throws RunError, naming both paths, when writing `output` would replace `kept`.
void RefuseReplacing(const NamedFile& output, const NamedFile& kept);

// Throws RunError when `output` exists and is not a regular file.
void RefuseNonRegularOutput(const NamedFile& output);

// Throws RunError naming `output` when a file stands there that `rule` does not let the writer
// replace.
void RefuseReplacingForeignFile(const NamedFile& output, const ReplaceRule& rule);

// Both checks for a MIDI file written beside its picture.
void RefuseUnsafeMidiFile(const std::string& midiFile, const std::string& picture);

}  // namespace tivenor
