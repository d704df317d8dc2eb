#pragma once
// The four settings of a reading: their ranges, their initial values and the names each host
// shows them by. Every program, host and test takes them from here.

#include <array>

namespace tivenor {

struct SettingInfo {
  const char* option;       // the converter's option, without "--"
  const char* windowLabel;  // the window's label, as the no-notes text names it
  const char* description;  // a few words for help texts
  int minimum;
  int maximum;
  int initial;
};

inline constexpr SettingInfo kThresholdSetting{
    "threshold", "B/W Threshold", "Black/white threshold", 0, 255, 100};
inline constexpr SettingInfo kMinimumSetting{"minimum", "Minimum", "Smallest hole in pixels",
                                             0,         900,       10};
inline constexpr SettingInfo kMaximumSetting{"maximum", "Maximum", "Largest hole in pixels",
                                             0,         900,       75};
inline constexpr SettingInfo kExtrapolationSetting{
    "extrapolation", "Hole Length Extrapolation", "Hole length extrapolation", 1, 9, 3};

// The values of the four settings; a default-made one holds the initial values.
struct ScanSettings {
  int threshold = kThresholdSetting.initial;
  int minimum = kMinimumSetting.initial;
  int maximum = kMaximumSetting.initial;
  int extrapolation = kExtrapolationSetting.initial;
};

// Each setting with where its value lives in ScanSettings, for hosts that handle all four alike.
struct SettingField {
  const SettingInfo& info;
  int ScanSettings::*value;
};

inline constexpr std::array<SettingField, 4> kSettingFields{{
    {kThresholdSetting, &ScanSettings::threshold},
    {kMinimumSetting, &ScanSettings::minimum},
    {kMaximumSetting, &ScanSettings::maximum},
    {kExtrapolationSetting, &ScanSettings::extrapolation},
}};

}  // namespace tivenor
