#pragma once
// The "Disc format" choice of the settings column: the built-in format first, then the bundled
// ones, then "Open format file…", which reads a format file and adds its format to the list.

#include <QString>
#include <QWidget>

#include <functional>
#include <optional>
#include <vector>

#include "engine/disc/disc_format.h"

class QComboBox;
class QLabel;

namespace tivenor {

class DiscFormatBox : public QWidget {
  Q_OBJECT

 public:
  explicit DiscFormatBox(QWidget* parent = nullptr);

  QLabel* Label;
  QComboBox* Box;

  // The format START reads the picture as.
  const DiscFormat& Chosen() const;
  // Every format of the list, the chosen one too: the closest of them is named when a picture's
  // slots do not fit the chosen one.
  std::vector<DiscFormat> Known() const;

  // Asks for a format file; nullopt when the user cancels. Tests put a scripted choice in its
  // place.
  std::function<std::optional<QString>()> RunFileDialog;
  // Shows why a format file cannot be used. The window puts its error box here.
  std::function<void(const QString&)> ShowError;

 private:
  struct Entry {
    DiscFormat format;
    QString file;  // empty for a known format
  };

  void IndexChanged(int index);
  // Reads the file and chooses its format; a file chosen again replaces its earlier entry.
  void OpenFormatFile(const QString& file);
  int OpenItemIndex() const { return static_cast<int>(entries_.size()); }

  std::vector<Entry> entries_;  // one per item before "Open format file…"
  int chosen_ = 0;
};

}  // namespace tivenor
