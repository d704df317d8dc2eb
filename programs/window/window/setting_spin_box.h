#pragma once
// An integer spin box holding one of the four settings. The setting is read from the text at
// the moment a step needs it, so a value typed but not yet confirmed counts too.

#include <QSpinBox>

#include "engine/base/settings.h"

namespace tivenor {

class SettingSpinBox : public QSpinBox {
  Q_OBJECT

 public:
  explicit SettingSpinBox(const SettingInfo& setting, QWidget* parent = nullptr);

  // The integer in the text; a text that is no integer reads as the minimum, and a value
  // outside the range as its nearer end (what the box shows once it loses the focus).
  int ReadSetting() const;
  // Back to the value the box was made with: the layout's.
  void ResetToInitial() { setValue(initial_); }

 private:
  int initial_;
};

}  // namespace tivenor
