#include "app/window/open_picture_dialog.h"

#include <QGridLayout>
#include <QImageReader>
#include <QLabel>

namespace tivenor {

namespace {
constexpr int kPreviewSide = 200;
}

OpenPictureDialog::OpenPictureDialog(QWidget* parent)
    : QFileDialog(parent), preview_(new QLabel(this)) {
  setOption(QFileDialog::DontUseNativeDialog);
  setModal(true);
  setAcceptMode(QFileDialog::AcceptOpen);
  setFileMode(QFileDialog::ExistingFile);
  setNameFilter(kBitmapFilter);

  preview_->setObjectName("Preview");
  preview_->setFixedSize(kPreviewSide, kPreviewSide);
  preview_->setAlignment(Qt::AlignCenter);
  preview_->setFrameShape(QFrame::StyledPanel);
  // Qt's own dialog lays itself out on a grid; the preview takes a column on its right.
  if (auto* grid = qobject_cast<QGridLayout*>(layout())) {
    grid->addWidget(preview_, 1, grid->columnCount(), 1, 1);
  }
  connect(this, &QFileDialog::currentChanged, this, &OpenPictureDialog::ShowPreview);
}

void OpenPictureDialog::ShowPreview(const QString& path) {
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
