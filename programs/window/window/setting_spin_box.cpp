#include "programs/window/window/setting_spin_box.h"

#include <algorithm>

namespace tivenor {

SettingSpinBox::SettingSpinBox(int minimum, int maximum, int initial, QWidget* parent)
    : QSpinBox(parent), initial_(initial) {
  setRange(minimum, maximum);
  setValue(initial);
  setCorrectionMode(QAbstractSpinBox::CorrectToNearestValue);
}

int SettingSpinBox::ReadSetting() const {
  bool isInteger = false;
  const int value = cleanText().trimmed().toInt(&isInteger);
  if (!isInteger) return minimum();
  return std::clamp(value, minimum(), maximum());
}

}  // namespace tivenor
