#include "programs/convert/convert_picture.h"

#include <unistd.h>

#include <cerrno>
#include <cstdio>

#include "adapters/picture/picture_file.h"
#include "engine/base/run_error.h"
#include "engine/files/temporary_file.h"
#include "engine/midi/write_midi.h"
#include "engine/reading/hole_scan.h"
#include "engine/reading/no_notes_reason.h"

namespace tivenor::cli {

namespace {

// Like the MIDI file, the marked picture replaces an older file of its name only when complete.
void SaveMarkedPicture(const Raster& display, const std::string& fileName) {
  std::string temporary;
  const int fd = CreateTemporaryBeside(fileName, temporary);
  if (fd < 0) ThrowIoError(fileName, errno);
  close(fd);
  try {
    SavePicturePng(display, temporary);
  } catch (const RunError&) {
    std::remove(temporary.c_str());
    throw;
  }
  if (std::rename(temporary.c_str(), fileName.c_str()) != 0) {
    const int error = errno;
    std::remove(temporary.c_str());
    ThrowIoError(fileName, error);
  }
}

}  // namespace

ConversionResult ConvertPicture(const ConversionRequest& request, ScanState& state,
                                ConverterHost& host, RunFiles& files) {
  const NamedFile midiFile{
      request.output.empty() ? MidiFileNameFor(request.picture) : request.output, "MIDI file"};
  const NamedFile markedPicture{request.markedPicture, "marked picture"};
  files.CheckOutput(request.picture, midiFile);
  if (!markedPicture.path.empty()) {
    files.CheckOutput(request.picture, markedPicture);
    RefuseReplacing(markedPicture, midiFile);
  }

  state.PictureLoaded = false;
  state.SourceFileName = request.picture;
  host.LoadPicture(request.picture, !markedPicture.path.empty());
  state.PictureLoaded = true;
  state.PictureClean = true;

  ScanDisc(state, host);
  state.PictureClean = false;
  if (state.NoteCount == 0) {
    const NoNotesReason reason =
        ExplainNoNotes(state, host.Threshold(), host.MinimumHoleSize(), host.MaximumHoleSize());
    throw RunError(NoNotesText(reason, {"--threshold", "--minimum", "--maximum"}));
  }

  MidiBuffer buffer;
  BuildMidi(state, host, buffer);
  state.MidiFileName = midiFile.path;
  SaveMidiBytes(midiFile.path, buffer);
  files.Written(request.picture, midiFile);
  if (!markedPicture.path.empty()) {
    SaveMarkedPicture(host.Display(), markedPicture.path);
    files.Written(request.picture, markedPicture);
  }

  ConversionResult result;
  result.notesFound = state.NoteCount;
  for (int32_t j = 1; j <= state.NoteCount; ++j)
    if (!state.NoteHasPin[j]) ++result.notesLeftOut;
  result.logLines = host.LogLinesWritten();
  result.midiFile = state.MidiFileName;
  return result;
}

}  // namespace tivenor::cli
