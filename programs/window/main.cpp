// The desktop program: one window, "Open file", "START", and the disc playing in the transport
// bar.

#include <QApplication>

#include "adapters/sound/fluid_midi_device.h"
#include "programs/window/window/unit1.h"

int main(int argc, char* argv[]) {
  QApplication application(argc, argv);
  QApplication::setApplicationName("Tivenor");
  QApplication::setApplicationDisplayName("Tivenor");

  tivenor::TForm1 form(tivenor::FluidDeviceFactory(tivenor::DesktopAudioOutputs()));
  form.show();
  return QApplication::exec();
}
