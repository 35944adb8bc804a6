#include "gui/image_view.h"

#include <QFontDatabase>
#include <QPainter>
#include <QScrollBar>
#include <algorithm>

#include "buffers/dump.h"
#include "gui/colors.h"

namespace sorvell::gui {

namespace {

constexpr int kLineBytes = 16;
constexpr int kLineColumns = 62;  // DumpLine's text
constexpr int kPageLines = 16;    // the model's scroll bar pages 256 bytes
constexpr int kMargin = 4;
// Even with no image and no part, a page of the buffer shows, as the page dump shows one.
constexpr std::int32_t kLeastExtent = 256;

}  // namespace

ImageView::ImageView(shell::MainForm& model, QWidget* parent)
    : QAbstractScrollArea(parent),
      model_(model),
      seenCursorMoves_(model.buffers.CursorMoves),
      seenPage_(model.frmMain["VScroll1"].Value()) {
  setObjectName(QStringLiteral("ImageView"));
  setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
  setFocusPolicy(Qt::StrongFocus);
  setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
  viewport()->setCursor(Qt::IBeamCursor);
  setToolTip(QString::fromStdString(model.frmMain["BufferDisplay"].ToolTip()));
  UpdateScrollRange();
}

// A cursor move wins over a page change: typing and find move both, and the line in hand should
// not jump to the top of the view.
void ImageView::Follow() {
  UpdateScrollRange();
  const int page = model_.frmMain["VScroll1"].Value();
  if (model_.buffers.CursorMoves != seenCursorMoves_) {
    seenCursorMoves_ = model_.buffers.CursorMoves;
    pendingDigit_.reset();
    MoveCursorTo(model_.buffers.CursorAddress);
  } else if (page != seenPage_) {
    verticalScrollBar()->setValue(page * kPageLines);
  }
  seenPage_ = page;
  viewport()->update();
}

int ImageView::TopLine() const {
  return verticalScrollBar()->value();
}

int ImageView::LineCount() const {
  const std::int32_t extent = std::max(model_.workbench.Extent(), kLeastExtent);
  const auto bufferLines = static_cast<std::int32_t>(model_.buffers.CodeBuffer.size() / kLineBytes);
  return std::min((extent + kLineBytes - 1) / kLineBytes, bufferLines);
}

int ImageView::ShownLines() const {
  return std::max(1, viewport()->height() / LineHeight());
}

QString ImageView::LineText(int line) const {
  const std::int32_t address = line * kLineBytes;
  const std::string text =
      buffers::DumpLine(address, &model_.buffers.CodeBuffer[static_cast<std::size_t>(address)],
                        buffers::AsciiRule::kBuffer);
  return QString::fromLatin1(text.data(), static_cast<qsizetype>(text.size()));
}

int ImageView::CharWidth() const {
  return fontMetrics().horizontalAdvance(QLatin1Char('0'));
}

int ImageView::LineHeight() const {
  return fontMetrics().lineSpacing();
}

void ImageView::UpdateScrollRange() {
  QScrollBar& bar = *verticalScrollBar();
  bar.setRange(0, std::max(0, LineCount() - ShownLines()));
  bar.setPageStep(ShownLines());
  bar.setSingleStep(1);
}

void ImageView::resizeEvent(QResizeEvent* event) {
  QAbstractScrollArea::resizeEvent(event);
  UpdateScrollRange();
}

QSize ImageView::sizeHint() const {
  return {kLineColumns * CharWidth() + 2 * kMargin + 2 * frameWidth() +
              verticalScrollBar()->sizeHint().width(),
          kPageLines * LineHeight() + 2 * frameWidth()};
}

QSize ImageView::minimumSizeHint() const {
  return {sizeHint().width(), 4 * LineHeight() + 2 * frameWidth()};
}

QRect ImageView::Cell(int index, bool characters, int y) const {
  const int column = characters ? CharColumn(index) : HexColumn(index);
  return {kMargin + column * CharWidth(), y, (characters ? 1 : 2) * CharWidth(), LineHeight()};
}

QRect ImageView::ByteCell(std::int32_t address, bool characters) const {
  return Cell(address % kLineBytes, characters, (address / kLineBytes - TopLine()) * LineHeight());
}

void ImageView::paintEvent(QPaintEvent*) {
  QPainter painter(viewport());
  painter.fillRect(viewport()->rect(), palette().color(QPalette::Base));
  const int last = std::min(LineCount(), TopLine() + ShownLines() + 1);
  for (int line = TopLine(); line < last; ++line) {
    const int y = (line - TopLine()) * LineHeight();
    PaintMarks(painter, line, y);
    painter.setPen(palette().color(QPalette::Text));
    painter.drawText(kMargin, y + fontMetrics().ascent(), LineText(line));
    PaintCursor(painter, line, y);
  }
}

// The bytes that differed in the last compare: hex digits and character on the marked ground.
void ImageView::PaintMarks(QPainter& painter, int line, int y) const {
  const std::vector<std::int32_t>& differing = model_.buffers.DifferingAddresses;
  const std::int32_t start = line * kLineBytes;
  for (auto it = std::ranges::lower_bound(differing, start);
       it != differing.end() && *it < start + kLineBytes; ++it) {
    const int index = *it - start;
    painter.fillRect(Cell(index, false, y), kMarkedGround);
    painter.fillRect(Cell(index, true, y), kMarkedGround);
  }
}

// The cursor's byte: filled in the column being typed into, framed in the other. A first hex
// digit typed shows in place until the second completes the byte.
void ImageView::PaintCursor(QPainter& painter, int line, int y) const {
  if (cursor_ / kLineBytes != line) return;
  const int index = cursor_ % kLineBytes;
  const QRect active = Cell(index, inCharacters_, y);
  const int column = inCharacters_ ? CharColumn(index) : HexColumn(index);
  QString shown = LineText(line).mid(column, inCharacters_ ? 1 : 2);
  if (pendingDigit_) shown[0] = QString::number(*pendingDigit_, 16).toUpper()[0];
  painter.fillRect(active, palette().color(QPalette::Highlight));
  painter.setPen(palette().color(QPalette::HighlightedText));
  painter.drawText(active.left(), y + fontMetrics().ascent(), shown);
  painter.setPen(palette().color(QPalette::Highlight));
  painter.drawRect(Cell(index, !inCharacters_, y).adjusted(0, 0, -1, -1));
}

void ImageView::MoveCursorTo(std::int64_t address) {
  const std::int64_t last = std::int64_t{LineCount()} * kLineBytes - 1;
  cursor_ = static_cast<std::int32_t>(std::clamp<std::int64_t>(address, 0, last));
  EnsureCursorVisible();
  viewport()->update();
}

void ImageView::EnsureCursorVisible() {
  const int line = cursor_ / kLineBytes;
  if (line < TopLine()) {
    verticalScrollBar()->setValue(line);
  } else if (line >= TopLine() + ShownLines()) {
    verticalScrollBar()->setValue(line - ShownLines() + 1);
  }
}

}  // namespace sorvell::gui
