#include "programs/window/window/setting_spin_box.h"

#include <algorithm>

namespace tivenor {

SettingSpinBox::SettingSpinBox(const SettingInfo& setting, QWidget* parent)
    : QSpinBox(parent), initial_(setting.initial) {
  setRange(setting.minimum, setting.maximum);
  setValue(setting.initial);
  setCorrectionMode(QAbstractSpinBox::CorrectToNearestValue);
}

int SettingSpinBox::ReadSetting() const {
  bool isInteger = false;
  const int value = cleanText().trimmed().toInt(&isInteger);
  if (!isInteger) return minimum();
  return std::clamp(value, minimum(), maximum());
}

}  // namespace tivenor
