#include "programs/convert/convert_picture.h"

#include <unistd.h>

#include <cerrno>
#include <cstdio>

#include "adapters/picture/picture_file.h"
#include "engine/base/run_error.h"
#include "engine/files/temporary_file.h"
#include "engine/midi/midi_buffer.h"
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

namespace {

NamedFile MidiFileOf(const ConversionRequest& request) {
  return {request.output.empty() ? MidiFileNameFor(request.picture) : request.output, "MIDI file"};
}

NamedFile MarkedPictureOf(const ConversionRequest& request) {
  return {request.markedPicture, "marked picture"};
}

}  // namespace

void CheckOutputs(const ConversionRequest& request, const RunFiles& files) {
  const NamedFile midiFile = MidiFileOf(request);
  const NamedFile markedPicture = MarkedPictureOf(request);
  files.CheckOutput(request.picture, midiFile);
  if (!markedPicture.path.empty()) {
    files.CheckOutput(request.picture, markedPicture);
    RefuseReplacing(markedPicture, midiFile);
  }
}

ConversionResult ReadPicture(const ConversionRequest& request, ScanState& state,
                             ConverterHost& host) {
  state.PictureLoaded = false;
  state.SourceFileName = request.picture;
  host.ShowPicture(LoadPicture(request.picture, host.TakeDisplay()));
  state.PictureLoaded = true;
  state.PictureClean = true;

  ConversionResult result;
  result.reading = ReadDisc(state, host, {request.fitSettings});
  if (result.reading.noNotes) {
    throw RunError(NoNotesText(*result.reading.noNotes, SettingNaming::kCommandLine));
  }
  result.used = host.SettingsUsed();
  result.logLines = host.LogLinesWritten();
  result.midiFile = MidiFileOf(request).path;
  return result;
}

void WriteResults(const ConversionRequest& request, const ConversionResult& result,
                  const Raster& marked, RunFiles& files) {
  const NamedFile midiFile = MidiFileOf(request);
  SaveMidiBytes(midiFile.path, result.reading.midi);
  files.Written(request.picture, midiFile);
  const NamedFile markedPicture = MarkedPictureOf(request);
  if (!markedPicture.path.empty()) {
    SaveMarkedPicture(marked, markedPicture.path);
    files.Written(request.picture, markedPicture);
  }
}

ConversionResult ConvertPicture(const ConversionRequest& request, ScanState& state,
                                ConverterHost& host, RunFiles& files) {
  CheckOutputs(request, files);
  ConversionResult result = ReadPicture(request, state, host);
  state.MidiFileName = result.midiFile;
  WriteResults(request, result, host.Display(), files);
  return result;
}

}  // namespace tivenor::cli
