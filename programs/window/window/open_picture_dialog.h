#pragma once
// The open dialog for disc pictures: bitmaps first, then every picture type read and every
// file, with a preview of the selected picture. Qt's own dialog is used, since the platforms'
// native ones offer no preview.

#include <QFileDialog>
#include <QStringList>

class QLabel;

namespace tivenor {

inline constexpr const char* kBitmapFilter = "Bitmaps (*.bmp)";

// The dialog's filters, bitmaps first and chosen when it opens.
QStringList PictureFilters();

class OpenPictureDialog : public QFileDialog {
  Q_OBJECT

 public:
  explicit OpenPictureDialog(QWidget* parent = nullptr);

  QLabel* Preview() const { return preview_; }
  // Shows `path` in the preview, scaled down to fit; a file that is no picture clears it.
  void ShowPreview(const QString& path);

  // Closes the completion list with the dialog.
  void done(int result) override;

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void HideCompletionLists();

  QLabel* preview_;
};

}  // namespace tivenor
