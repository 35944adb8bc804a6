#include "gui/icons.h"

#include <QPainter>
#include <QPainterPath>
#include <QPixmap>

namespace sorvell::gui {

namespace {

constexpr int kSize = 64;  // drawn large, scaled down crisply by QIcon

template <typename Draw>
QIcon Drawn(Draw&& draw) {
  QPixmap pixmap(kSize, kSize);
  pixmap.fill(Qt::transparent);
  QPainter painter(&pixmap);
  painter.setRenderHint(QPainter::Antialiasing);
  draw(painter);
  painter.end();
  return QIcon(pixmap);
}

}  // namespace

QIcon OpenIcon() {
  return Drawn([](QPainter& p) {
    p.setPen(QPen(QColor(120, 80, 10), 3));
    p.setBrush(QColor(240, 190, 70));
    QPainterPath back;
    back.moveTo(6, 14);
    back.lineTo(24, 14);
    back.lineTo(30, 20);
    back.lineTo(56, 20);
    back.lineTo(56, 52);
    back.lineTo(6, 52);
    back.closeSubpath();
    p.drawPath(back);
    p.setBrush(QColor(252, 215, 110));
    p.drawPolygon(QPolygonF({QPointF(6, 52), QPointF(16, 28), QPointF(62, 28), QPointF(54, 52)}));
  });
}

QIcon SaveIcon() {
  return Drawn([](QPainter& p) {
    p.setPen(QPen(QColor(20, 40, 90), 3));
    p.setBrush(QColor(60, 100, 190));
    p.drawRoundedRect(QRectF(8, 8, 48, 48), 4, 4);
    p.setBrush(QColor(235, 235, 235));
    p.drawRect(QRectF(16, 8, 32, 18));
    p.setBrush(QColor(40, 40, 40));
    p.drawRect(QRectF(38, 11, 6, 12));
    p.setBrush(Qt::white);
    p.drawRect(QRectF(16, 34, 32, 22));
  });
}

QIcon ApplicationIcon() {
  return Drawn([](QPainter& p) {
    p.setPen(QPen(QColor(150, 150, 150), 3));
    for (int i = 0; i < 6; ++i) {
      const int y = 12 + i * 8;
      p.drawLine(6, y, 16, y);
      p.drawLine(48, y, 58, y);
    }
    p.setPen(QPen(Qt::black, 2));
    p.setBrush(QColor(45, 45, 50));
    p.drawRoundedRect(QRectF(14, 6, 36, 52), 3, 3);
    p.setBrush(QColor(120, 150, 220));  // the quartz window of a UV-EPROM
    p.drawEllipse(QRectF(22, 20, 20, 20));
  });
}

}  // namespace sorvell::gui
