#include "programs/window/window/format_choice.h"

#include <QComboBox>
#include <QFile>
#include <QFileDialog>
#include <QLabel>
#include <QSignalBlocker>
#include <QVBoxLayout>

#include <exception>

#include "adapters/format_file/find_format.h"
#include "adapters/format_file/read_format.h"

namespace tivenor {

namespace {

// Long format names are cut rather than widening the column of controls.
constexpr int kShownNameLength = 15;

QString TipOf(const DiscFormat& format, const QString& file) {
  const QString title = QString::fromStdString(format.title);
  return file.isEmpty() ? title : title + "\n" + file;
}

}  // namespace

DiscFormatBox::DiscFormatBox(QWidget* parent) : QWidget(parent) {
  setObjectName("DiscFormatChoice");
  Label = new QLabel("Disc format:");
  Label->setObjectName("DiscFormatLabel");
  Box = new QComboBox;
  Box->setObjectName("DiscFormatBox");
  Box->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
  Box->setMinimumContentsLength(kShownNameLength);
  Label->setBuddy(Box);
  // The label above the list, so that the column of controls keeps its width.
  auto* rows = new QVBoxLayout(this);
  rows->setContentsMargins(0, 0, 0, 0);
  rows->addWidget(Label);
  rows->addWidget(Box);

  for (DiscFormat& format : ListFormats()) {
    Box->addItem(QString::fromStdString(format.name));
    Box->setItemData(Box->count() - 1, TipOf(format, {}), Qt::ToolTipRole);
    entries_.push_back({std::move(format), {}});
  }
  Box->addItem(QStringLiteral(u"Open format file\u2026"));
  Box->setCurrentIndex(0);

  RunFileDialog = [this]() -> std::optional<QString> {
    const QString file = QFileDialog::getOpenFileName(window(), "Open format file", QString(),
                                                      "Disc formats (*.json);;All files (*)");
    if (file.isEmpty()) return std::nullopt;
    return file;
  };
  connect(Box, &QComboBox::currentIndexChanged, this, &DiscFormatBox::IndexChanged);
}

const DiscFormat& DiscFormatBox::Chosen() const {
  return entries_[static_cast<std::size_t>(chosen_)].format;
}

std::vector<DiscFormat> DiscFormatBox::Known() const {
  std::vector<DiscFormat> formats;
  formats.reserve(entries_.size());
  for (const Entry& entry : entries_) formats.push_back(entry.format);
  return formats;
}

void DiscFormatBox::IndexChanged(int index) {
  if (index < 0) return;
  if (index != OpenItemIndex()) {
    chosen_ = index;
    return;
  }
  if (const std::optional<QString> file = RunFileDialog()) OpenFormatFile(*file);
  // "Open format file…" is a command, never the choice: the list shows what START will use.
  const QSignalBlocker quiet(Box);
  Box->setCurrentIndex(chosen_);
}

void DiscFormatBox::OpenFormatFile(const QString& file) {
  DiscFormat format;
  try {
    format = ReadFormatFile(QFile::encodeName(file).toStdString());
  } catch (const std::exception& error) {
    if (ShowError) ShowError(QString::fromStdString(error.what()));
    return;
  }
  int index = 0;
  while (index < OpenItemIndex() && entries_[static_cast<std::size_t>(index)].file != file) {
    ++index;
  }
  const QString name = QString::fromStdString(format.name);
  const QString tip = TipOf(format, file);
  if (index == OpenItemIndex()) {
    const QSignalBlocker quiet(Box);
    Box->insertItem(index, name);
    entries_.push_back({std::move(format), file});
  } else {
    Box->setItemText(index, name);
    entries_[static_cast<std::size_t>(index)].format = std::move(format);
  }
  Box->setItemData(index, tip, Qt::ToolTipRole);
  chosen_ = index;
}

}  // namespace tivenor
