// End to end through a real audio server with no sound card behind it: a private PulseAudio
// with a null sink, whose monitor is recorded while the window plays a disc through FluidSynth.
// The recording must hold the music, and Stop, Pause and closing the window must silence it.

#include <QAbstractButton>
#include <QLabel>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>

#include "adapters/sound/fluid_midi_device.h"
#include "programs/window/playback/transport_bar.h"
#include "tests/app/audio_analysis.h"
#include "tests/app/window_harness.h"

using namespace tivenor;
using namespace tivenor::testing;

namespace {

constexpr int kRate = 44100;
constexpr int kSound = 1000;  // peak of a music-box note through the synth
constexpr int kSilence = 50;  // what is left of the reverb once sound has been cut

// A PulseAudio server of this test's own: its sockets live in a private runtime folder, so it
// neither meets nor disturbs a server of the user's.
class PrivatePulseServer {
 public:
  PrivatePulseServer() {
    savedRuntime_ = qgetenv("XDG_RUNTIME_DIR");
    savedHome_ = qgetenv("HOME");
    qputenv("XDG_RUNTIME_DIR", folder_.path().toLocal8Bit());
    qputenv("HOME", folder_.path().toLocal8Bit());  // the cookie goes there, not to the real home
    QProcess server;
    server.setProcessChannelMode(QProcess::MergedChannels);
    server.start("pulseaudio",
                 {"-n", "--daemonize=yes", "--exit-idle-time=-1",
                  "--load=module-null-sink sink_name=null", "--load=module-native-protocol-unix"});
    if (!server.waitForFinished(20000) || server.exitCode() != 0) {
      error_ = "pulseaudio did not start: " + server.readAll();
      return;
    }
    started_ = true;
  }
  ~PrivatePulseServer() {
    if (started_) QProcess::execute("pulseaudio", {"--kill"});
    qputenv("XDG_RUNTIME_DIR", savedRuntime_);
    qputenv("HOME", savedHome_);
  }
  bool Started() const { return started_; }
  const QByteArray& Error() const { return error_; }

 private:
  QTemporaryDir folder_;
  QByteArray savedRuntime_;
  QByteArray savedHome_;
  QByteArray error_;
  bool started_ = false;
};

// Records the null sink's monitor, mono 16-bit, as it comes.
class MonitorRecorder {
 public:
  MonitorRecorder() {
    QObject::connect(&parec_, &QProcess::readyReadStandardOutput,
                     [this] { samples_ += parec_.readAllStandardOutput(); });
    parec_.start("parec", {"-d", "null.monitor", "--raw", "--format=s16le",
                           QString("--rate=%1").arg(kRate), "--channels=1", "--latency-msec=20"});
  }
  ~MonitorRecorder() {
    parec_.kill();
    parec_.waitForFinished(5000);
  }
  bool Running() { return parec_.waitForStarted(5000); }
  qsizetype Mark() const { return samples_.size(); }
  // The loudest sample recorded since `mark`.
  int PeakSince(qsizetype mark) const {
    const std::vector<int> envelope = PeakEnvelope(samples_.mid(mark), 1, kRate, 0.05);
    return envelope.empty() ? -1 : *std::max_element(envelope.begin(), envelope.end());
  }

 private:
  QProcess parec_;
  QByteArray samples_;
};

// Waits `settle` seconds, then returns the loudest sample of the following `listen` seconds.
int PeakAfter(const MonitorRecorder& recorder, double settle, double listen) {
  QTest::qWait(static_cast<int>(settle * 1000));
  const qsizetype mark = recorder.Mark();
  QTest::qWait(static_cast<int>(listen * 1000));
  return recorder.PeakSince(mark);
}

}  // namespace

class PulsePlaybackTest : public QObject {
  Q_OBJECT

 private slots:
  void theWindowPlaysADiscThroughTheAudioServer() {
    for (const char* tool : {"pulseaudio", "parec"}) {
      QVERIFY2(
          !QStandardPaths::findExecutable(tool).isEmpty(),
          qPrintable(
              QString("%1 is not installed (packages pulseaudio, pulseaudio-utils)").arg(tool)));
    }
    PrivatePulseServer server;
    QVERIFY2(server.Started(), server.Error().constData());
    MonitorRecorder recorder;
    QVERIFY(recorder.Running());

    WindowHarness harness(FluidDeviceFactory(DesktopAudioOutputs()));
    TForm1& form = harness.Form();
    form.show();
    harness.OpenFile(WriteDiscBitmap(harness.PathOf("disc.bmp"), SpreadNotes(220, 3400, 60)));
    QVERIFY(PeakAfter(recorder, 0.3, 0.5) < kSilence);
    form.Button2Click();
    QVERIFY2(harness.errorTexts.isEmpty(), qPrintable(harness.errorTexts.join("; ")));
    QCOMPARE(form.Berichten->text(), QString("MidiFile Ready !!"));
    const auto click = [&](TransportButton button) {
      QTest::mouseClick(form.MediaPlayer1->ButtonWidget(button), Qt::LeftButton);
      QVERIFY2(harness.errorTexts.isEmpty(), qPrintable(harness.errorTexts.join("; ")));
    };

    // The first note comes some 1.9 s into the piece; a busy machine may start the audio late.
    QVERIFY2(PeakAfter(recorder, 1.5, 3.0) > kSound, "no sound while playing");
    click(TransportButton::kStop);
    QVERIFY2(PeakAfter(recorder, 1.0, 1.0) < kSilence, "sound after Stop");
    click(TransportButton::kPlay);
    QVERIFY2(PeakAfter(recorder, 0.5, 1.5) > kSound, "no sound after Play");
    click(TransportButton::kPause);
    QVERIFY2(PeakAfter(recorder, 1.0, 1.0) < kSilence, "sound while paused");
    click(TransportButton::kPause);
    QVERIFY2(PeakAfter(recorder, 0.5, 1.5) > kSound, "no sound after resuming");
    form.close();
    QVERIFY2(PeakAfter(recorder, 1.0, 1.0) < kSilence, "sound after the window closed");
  }
};

QTEST_MAIN(PulsePlaybackTest)
#include "pulse_playback_test.moc"
