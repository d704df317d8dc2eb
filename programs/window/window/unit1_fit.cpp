// "Fit settings to the picture": the settings fitted to the picture shown, written into the spin
// boxes where the user sees them and can change them for the next START.

#include <QCheckBox>

#include "engine/fitting/fitted_settings.h"
#include "programs/window/window/picture_display.h"
#include "programs/window/window/setting_spin_box.h"
#include "programs/window/window/unit1.h"

namespace tivenor {

ReadingCopy TForm1::FitSettingsToPicture() {
  // The fit reads the picture as loaded, not the marks of an earlier START.
  if (!state_.PictureClean) {
    ReloadPicture(state_.SourceFileName);
    state_.PictureClean = true;
  }
  const FittedSettings fitted = FitSettings(plaat->Picture());
  if (!fitted.discFound) return ReadingCopy();
  SpinEdit1->setValue(fitted.threshold);
  SpinEdit2->setValue(fitted.minimum);
  SpinEdit3->setValue(fitted.maximum);
  return ReadingCopy(fitted.reading);
}

}  // namespace tivenor
