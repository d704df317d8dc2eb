#include "programs/window/window/open_picture_dialog.h"

#include <QAbstractItemView>
#include <QCompleter>
#include <QEvent>
#include <QGridLayout>
#include <QImageReader>
#include <QLabel>
#include <QLineEdit>

#include "adapters/picture/opened_picture.h"
#include "adapters/picture/regular_file.h"

namespace tivenor {

namespace {
constexpr int kPreviewSide = 200;
}

QStringList PictureFilters() {
  return {kBitmapFilter, QString("All pictures (%1)").arg(kPictureFilePatterns), "All files (*)"};
}

OpenPictureDialog::OpenPictureDialog(QWidget* parent)
    : QFileDialog(parent), preview_(new QLabel(this)) {
  setOption(QFileDialog::DontUseNativeDialog);
  setModal(true);
  setAcceptMode(QFileDialog::AcceptOpen);
  setFileMode(QFileDialog::ExistingFile);
  setNameFilters(PictureFilters());

  preview_->setObjectName("Preview");
  preview_->setFixedSize(kPreviewSide, kPreviewSide);
  preview_->setAlignment(Qt::AlignCenter);
  preview_->setFrameShape(QFrame::StyledPanel);
  // Qt's own dialog lays itself out on a grid; the preview takes a column on its right.
  if (auto* grid = qobject_cast<QGridLayout*>(layout())) {
    grid->addWidget(preview_, 1, grid->columnCount(), 1, 1);
  }
  connect(this, &QFileDialog::currentChanged, this, &OpenPictureDialog::ShowPreview);
  // A name typed instead of clicked shows its picture too.
  if (auto* nameEdit = findChild<QLineEdit*>("fileNameEdit")) {
    connect(nameEdit, &QLineEdit::textChanged, this,
            [this](const QString& text) { ShowPreview(directory().absoluteFilePath(text)); });
  }
  // The file name's completion list is filled in the background and may pop up after the
  // dialog has closed, where it would take the next keys and clicks from the main window.
  for (QCompleter* completer : findChildren<QCompleter*>()) {
    completer->popup()->installEventFilter(this);
  }
}

void OpenPictureDialog::done(int result) {
  HideCompletionLists();
  QFileDialog::done(result);
}

bool OpenPictureDialog::eventFilter(QObject* watched, QEvent* event) {
  if (event->type() == QEvent::Show && !isVisible()) {
    if (auto* popup = qobject_cast<QWidget*>(watched)) {
      QMetaObject::invokeMethod(popup, &QWidget::hide, Qt::QueuedConnection);
    }
  }
  return QFileDialog::eventFilter(watched, event);
}

void OpenPictureDialog::HideCompletionLists() {
  for (QCompleter* completer : findChildren<QCompleter*>()) completer->popup()->hide();
}

void OpenPictureDialog::ShowPreview(const QString& path) {
  // Only regular files: a named pipe would block the dialog.
  if (!IsRegularFile(path.toStdString())) {
    preview_->clear();
    return;
  }
  QImageReader reader(path);
  const QSize size = reader.size();
  if (size.isValid() && (size.width() > kPreviewSide || size.height() > kPreviewSide)) {
    reader.setScaledSize(size.scaled(kPreviewSide, kPreviewSide, Qt::KeepAspectRatio));
  }
  const QImage image = reader.read();
  if (image.isNull()) {
    preview_->clear();
  } else {
    preview_->setPixmap(QPixmap::fromImage(image));
  }
}

}  // namespace tivenor
