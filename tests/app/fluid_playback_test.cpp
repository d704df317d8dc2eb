// Playback through FluidSynth: a written MIDI file rendered to a file sounds at its notes'
// times; the device plays, pauses, resumes, stops and seeks on a real synthesizer; and opening
// fails with a text that says why.

#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include <chrono>
#include <thread>

#include "adapters/sound/fluid_midi_device.h"
#include "adapters/sound/render_sound_file.h"
#include "adapters/sound/sound_font.h"
#include "engine/midi/midi_buffer.h"
#include "programs/window/playback/transport_bar.h"
#include "tests/app/audio_analysis.h"

using namespace tivenor;
using namespace tivenor::testing;

namespace {

constexpr double kWindow = 0.01;
constexpr double kSecondsPerTick = 0.6 / 96;  // the file's tempo and division
// The header's set-up events stand 4 x 20 ticks apart; the first note's delta counts from the last.
constexpr int kSetUpTicks = 80;

struct TimedNote {
  int tick;
  uint8_t key;
};

// A MIDI file as the program writes it: the fixed header, note-ons under running status and
// the trailer. Returns its path.
std::string WriteMidi(const QTemporaryDir& folder, const char* name,
                      const std::vector<TimedNote>& notes) {
  MidiBuffer buffer;
  StartMidi(buffer);
  int previous = 0;
  bool first = true;
  for (const TimedNote& note : notes) {
    AppendVarLen(buffer, note.tick - previous);
    if (first) buffer.AppendByte(0x90);
    buffer.AppendByte(note.key);
    buffer.AppendByte(100);
    previous = note.tick;
    first = false;
  }
  FinishMidi(buffer);
  PatchTrackLength(buffer);
  ScanState state;
  state.SourceFileName = folder.filePath(QString(name) + ".bmp").toStdString();
  SaveMidiFile(state, buffer);
  return state.MidiFileName;
}

QByteArray ReadAll(const QString& path) {
  QFile file(path);
  return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

std::string SoundFont() {
  const auto found = FindSoundFont();
  return found ? *found : std::string();
}

void Sleep(double seconds) {
  std::this_thread::sleep_for(std::chrono::duration<double>(seconds));
}

QString OpenFailure(const std::string& midi, const std::string& soundFont,
                    const std::vector<AudioOutput>& outputs) {
  try {
    FluidMidiDevice device(midi, soundFont, outputs);
  } catch (const MediaDeviceError& error) {
    return QString::fromStdString(error.what());
  }
  return {};
}

}  // namespace

class FluidPlaybackTest : public QObject {
  Q_OBJECT

 private slots:
  void initTestCase() { QVERIFY2(!SoundFont().empty(), NoSoundFontText().c_str()); }

  void aRenderedFileSoundsAtTheNotesTimes() {
    QTemporaryDir folder;
    const std::vector<TimedNote> notes = {{160, 64}, {480, 76}, {800, 71}};
    const std::string midi = WriteMidi(folder, "three", notes);
    const QString audio = folder.filePath("three.raw");
    RenderMidiFile({midi, SoundFont(), audio.toStdString(), "", SoundFileType::kRaw});

    const std::vector<int> envelope = PeakEnvelope(ReadAll(audio), 2, 44100, kWindow);
    const double lastNote = (kSetUpTicks + notes.back().tick) * kSecondsPerTick;
    QVERIFY(envelope.size() * kWindow > lastNote + 0.9);
    const double firstNote = (kSetUpTicks + notes.front().tick) * kSecondsPerTick;
    QVERIFY(LoudestBetween(envelope, kWindow, 0.0, firstNote - 0.02) < 10);
    const std::vector<double> onsets = Onsets(envelope, kWindow, 300, 2.0, 10);
    QCOMPARE(onsets.size(), notes.size());
    for (std::size_t i = 0; i < notes.size(); ++i) {
      const double expected = (kSetUpTicks + notes[i].tick) * kSecondsPerTick;
      QVERIFY2(std::abs(onsets[i] - expected) <= 0.03,
               qPrintable(QString("note %1 sounds at %2 s, expected %3 s")
                              .arg(i)
                              .arg(onsets[i])
                              .arg(expected)));
    }
  }

  void aWavFileHasItsHeader() {
    QTemporaryDir folder;
    const std::string midi = WriteMidi(folder, "one", {{10, 60}});
    const QString audio = folder.filePath("one.wav");
    RenderMidiFile({midi, SoundFont(), audio.toStdString(), "", SoundFileType::kWav});
    const QByteArray bytes = ReadAll(audio);
    QVERIFY(bytes.startsWith("RIFF"));
    QCOMPARE(bytes.mid(8, 4), QByteArray("WAVE"));
  }

  void theDevicePlaysPausesResumesStopsAndSeeks() {
    QTemporaryDir folder;
    std::vector<TimedNote> notes;
    for (int tick = 16; tick < 2000; tick += 32) notes.push_back({tick, uint8_t(60 + tick % 24)});
    const std::string midi = WriteMidi(folder, "long", notes);
    const QString audio = folder.filePath("out.raw");
    FluidMidiDevice device(midi, SoundFont(), {{"file", audio.toStdString()}});
    QVERIFY(!device.IsPlaying());
    QVERIFY(!device.IsAtEnd());

    device.Play();
    QVERIFY(device.IsPlaying());
    Sleep(0.3);
    device.Pause();
    QVERIFY(device.IsPaused());
    QVERIFY(!device.IsPlaying());
    QVERIFY(device.Resume());
    QVERIFY(device.IsPlaying());
    QVERIFY(!device.Resume());
    device.Stop();
    QVERIFY(!device.IsPlaying());
    QVERIFY(!device.IsPaused());
    device.SeekToEnd();
    QVERIFY(device.IsAtEnd());
    device.Play();
    QVERIFY(!device.IsPlaying());  // nothing left to play until it is rewound
    device.SeekToStart();
    QVERIFY(!device.IsAtEnd());
    device.Play();
    QVERIFY(device.IsPlaying());
    Sleep(0.3);
    device.Stop();
    QVERIFY(ReadAll(audio).size() > 0);
  }

  // The position the playhead follows: it moves while playing, holds on Pause and Stop, and
  // stands at the start after Prev and at the end after Next.
  void thePositionFollowsThePiece() {
    QTemporaryDir folder;
    std::vector<TimedNote> notes;
    for (int tick = 16; tick < 2000; tick += 32) notes.push_back({tick, uint8_t(60 + tick % 24)});
    const std::string midi = WriteMidi(folder, "long", notes);
    FluidMidiDevice device(midi, SoundFont(), {{"file", folder.filePath("o.raw").toStdString()}});
    QCOMPARE(device.PositionTicks(), 0.0);
    device.Play();
    QTRY_VERIFY(device.PositionTicks() > 10);
    device.Pause();
    const double paused = device.PositionTicks();
    Sleep(0.2);
    QCOMPARE(device.PositionTicks(), paused);
    QVERIFY(device.Resume());
    QTRY_VERIFY(device.PositionTicks() > paused);
    device.Stop();
    const double stopped = device.PositionTicks();
    Sleep(0.2);
    QCOMPARE(device.PositionTicks(), stopped);
    device.SeekToEnd();
    QVERIFY(device.PositionTicks() >= kSetUpTicks + notes.back().tick);
    device.SeekToStart();
    QCOMPARE(device.PositionTicks(), 0.0);
  }

  void aPiecePlayedToItsEndIsAtItsEndAndPlaysAgainAfterRewinding() {
    QTemporaryDir folder;
    // No note: FluidSynth holds a piece as playing until its last note has died away, and then
    // for a grace period of its own.
    const std::string midi = WriteMidi(folder, "short", {});
    auto record = FluidDeviceFactory({{"file", folder.filePath("out.raw").toStdString()}});
    TransportBar bar(record);
    bar.SetFileName(midi);
    bar.Open();
    bar.Play();
    // Set-up and trailer: the piece lasts under 1.5 s.
    QTRY_VERIFY_WITH_TIMEOUT(bar.Device()->IsAtEnd(), 5000);
    QVERIFY(!bar.Device()->IsPlaying());
    bar.Play();
    QVERIFY(!bar.Device()->IsAtEnd());
    QVERIFY(bar.Device()->IsPlaying());
  }

  void theFileIsNotHeldOpenWhilePlaying() {
    QTemporaryDir folder;
    const std::string midi = WriteMidi(folder, "held", {{100, 72}});
    FluidMidiDevice device(midi, SoundFont(), {{"file", folder.filePath("o.raw").toStdString()}});
    device.Play();
    QVERIFY(QFile::remove(QString::fromStdString(midi)));
  }

  void openingFailsWithTheReason() {
    QTemporaryDir folder;
    const std::string midi = WriteMidi(folder, "fine", {{10, 60}});
    const std::vector<AudioOutput> toFile = {{"file", folder.filePath("o.raw").toStdString()}};

    const QString missing =
        OpenFailure(folder.filePath("gone.mid").toStdString(), SoundFont(), toFile);
    QVERIFY2(missing.contains("gone.mid"), qPrintable(missing));

    QFile notMidi(folder.filePath("text.mid"));
    QVERIFY(notMidi.open(QIODevice::WriteOnly));
    notMidi.write("just some text, long enough");
    notMidi.close();
    const QString wrongKind = OpenFailure(notMidi.fileName().toStdString(), SoundFont(), toFile);
    QVERIFY2(wrongKind.contains("not a MIDI file"), qPrintable(wrongKind));

    const QString noFont = OpenFailure(midi, folder.filePath("none.sf2").toStdString(), toFile);
    QVERIFY2(noFont.contains("none.sf2"), qPrintable(noFont));
    QVERIFY(noFont != kUnknownErrorCode);

    const QString noDriver = OpenFailure(midi, SoundFont(), {{"no-such-driver", ""}});
    QVERIFY2(noDriver.contains("no-such-driver"), qPrintable(noDriver));
  }

  void theFirstOutputThatWorksIsTaken() {
    QTemporaryDir folder;
    const std::string midi = WriteMidi(folder, "fine", {{10, 60}});
    FluidMidiDevice device(
        midi, SoundFont(),
        {{"no-such-driver", ""}, {"file", folder.filePath("o.raw").toStdString()}});
    device.Play();
    QVERIFY(device.IsPlaying());
  }
};

QTEST_MAIN(FluidPlaybackTest)
#include "fluid_playback_test.moc"
