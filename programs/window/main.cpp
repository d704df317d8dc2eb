// The desktop program: one window, "Open file", "START", and the disc playing in the transport
// bar. `tivenor PICTURE` opens the picture at once.

#include <QApplication>
#include <QCommandLineParser>
#include <QIcon>
#include <QStringList>

#include <cstdio>

#include "adapters/sound/fluid_midi_device.h"
#include "programs/window/window/unit1.h"

namespace {

constexpr int kExitUsage = 2;

void Describe(QCommandLineParser& parser) {
  parser.setApplicationDescription(
      "Reads a picture of a punched music-box disc into a MIDI file and plays it.\n"
      "Open a picture (BMP, PNG, JPEG or TIFF) and press START; the MIDI file is written "
      "beside it.");
  parser.addHelpOption();
  parser.addVersionOption();
  parser.addPositionalArgument("PICTURE", "A disc picture to open, as \"Open file\" would.",
                               "[PICTURE]");
}

QStringList Arguments(int argc, char* argv[]) {
  QStringList arguments;
  for (int i = 0; i < argc; ++i) arguments << QString::fromLocal8Bit(argv[i]);
  return arguments;
}

}  // namespace

int main(int argc, char* argv[]) {
  QApplication::setApplicationName("tivenor");
  QApplication::setApplicationVersion(TIVENOR_VERSION);
  // --help and --version need no display: they are answered before the window system starts.
  {
    QCommandLineParser early;
    Describe(early);
    early.parse(Arguments(argc, argv));
    if (early.isSet("help")) {
      const QCoreApplication named(argc, argv);  // the usage line names the program as called
      std::fputs(early.helpText().toLocal8Bit().constData(), stdout);
      return 0;
    }
    if (early.isSet("version")) {
      std::printf("tivenor %s\n", TIVENOR_VERSION);
      return 0;
    }
  }

  QApplication application(argc, argv);
  QApplication::setApplicationDisplayName("Tivenor");
  // The installed theme's icon when there is one, else the one built in.
  QIcon builtIn;
  for (const char* size : {"48", "128", "256"}) {
    builtIn.addFile(QString(":/tivenor/tivenor-%1.png").arg(size));
  }
  QApplication::setWindowIcon(QIcon::fromTheme("tivenor", builtIn));
  QApplication::setDesktopFileName("tivenor");
  // The window system's own options (-platform, -display, ...) are gone from the arguments now.
  QCommandLineParser parser;
  Describe(parser);
  if (!parser.parse(QApplication::arguments()) || parser.positionalArguments().size() > 1) {
    const QString error =
        parser.positionalArguments().size() > 1 ? "one picture at a time" : parser.errorText();
    std::fprintf(stderr, "tivenor: %s\nTry 'tivenor --help' for more information.\n",
                 error.toLocal8Bit().constData());
    return kExitUsage;
  }

  tivenor::TForm1 form(tivenor::FluidDeviceFactory(tivenor::DesktopAudioOutputs()));
  form.show();
  if (!parser.positionalArguments().isEmpty()) {
    form.OpenPictureFile(parser.positionalArguments().first());
  }
  return QApplication::exec();
}
