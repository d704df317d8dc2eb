#include "engine/files/output_check.h"

#include "engine/base/run_error.h"
#include "engine/files/file_identity.h"

namespace tivenor {

void RefuseReplacing(const NamedFile& output, const NamedFile& kept) {
  if (!SameFile(output.path, kept.path)) return;
  throw RunError("The " + output.what + " \"" + output.path + "\" would replace the " + kept.what +
                 " \"" + kept.path + "\": nothing written");
}

void RefuseNonRegularOutput(const NamedFile& output) {
  if (!IsOtherThanRegularFile(output.path)) return;
  throw RunError("The " + output.what + " \"" + output.path +
                 "\" would replace something that is not a regular file: nothing written");
}

void RefuseUnsafeMidiFile(const std::string& midiFile, const std::string& picture) {
  const NamedFile output{midiFile, "MIDI file"};
  RefuseNonRegularOutput(output);
  RefuseReplacing(output, {picture, "picture"});
}

}  // namespace tivenor
