// Dialog buttons: the small picture buttons of the code-table browser, the master-data editors
// and the other dialogs. Same 40 x 40 space and button-face grey as the toolbar icons, and again
// one dominant colour each, since several of them sit side by side in one row.
#include <QPainterPath>
#include <QPolygonF>
#include <cmath>
#include <numbers>

#include "drawings.h"
#include "shapes.h"

namespace pics {

namespace {

// A plus sign `size` across with arms `arm` wide, turned by `degrees` (45 makes it a cross).
void plus(QPainter& p, const QPointF& centre, qreal size, qreal arm, qreal degrees,
          const QColor& fill) {
  const qreal h = size / 2;
  const qreal a = arm / 2;
  QPainterPath shape;
  shape.setFillRule(Qt::WindingFill);
  shape.addRect(QRectF(-h, -a, size, arm));
  shape.addRect(QRectF(-a, -h, arm, size));
  p.save();
  p.translate(centre);
  p.rotate(degrees);
  p.setPen(outlinePen(1.1));
  p.setBrush(fill);
  p.drawPath(shape.simplified());
  p.restore();
}

// The record the editing buttons act on: a sheet with a few lines of entries on it, kept to the
// upper left so the action drawn over its lower right corner stands out.
void record(QPainter& p) {
  document(p, QRectF(5, 3, 23, 30));
  p.setPen(outlinePen(1.4, QColor(150, 160, 176)));
  p.drawLine(QPointF(9, 10), QPointF(19, 10));  // a shorter heading line
  for (qreal y : {15.0, 20.0, 25.0}) p.drawLine(QPointF(9, y), QPointF(23, y));
}

// An arrow along the middle of the button to a bar across one end: the first or the last record.
void toEnd(QPainter& p, bool up) {
  const QColor colour(40, 156, 160);
  const qreal bar = up ? 4 : 31;
  p.setPen(outlinePen(1.1));
  p.setBrush(tint(colour, -35));
  p.drawRoundedRect(QRectF(7, bar, 26, 5), 1.5, 1.5);
  const QPointF from(20, up ? 37 : 3);
  const QPointF to(20, up ? 10.5 : 29.5);
  arrow(p, from, to, 8, colour);
}

}  // namespace

void drawPopSeek(QPainter& p, const QSize& size) {
  // Search: a magnifying glass with a steel rim and a dark handle.
  beginIcon(p, size);
  const QPointF c(16, 16);
  // The handle first, so the rim covers its end.
  p.save();
  p.translate(c);
  p.rotate(-45);
  p.setPen(outlinePen(1.1));
  p.setBrush(QColor(150, 90, 40));
  p.drawRoundedRect(QRectF(-3.2, 11, 6.4, 15), 2.6, 2.6);
  p.restore();
  p.setPen(outlinePen(1.1));
  p.setBrush(ink::steel);
  p.drawEllipse(c, 13, 13);
  QRadialGradient glass(c - QPointF(3, 3), 12);
  glass.setColorAt(0, QColor(236, 248, 255));
  glass.setColorAt(1, QColor(126, 196, 240));
  p.setBrush(glass);
  p.drawEllipse(c, 9.5, 9.5);
  // A glint on the glass.
  p.setPen(outlinePen(1.8, ink::paper));
  p.setBrush(Qt::NoBrush);
  p.drawArc(QRectF(c.x() - 6.5, c.y() - 6.5, 13, 13), 100 * 16, 70 * 16);
}

void drawPopOk(QPainter& p, const QSize& size) {
  // Choose: a bold green check mark.
  beginIcon(p, size);
  QPainterPath tick;
  tick.moveTo(7, 21);
  tick.lineTo(16, 30);
  tick.lineTo(33, 10);
  p.setBrush(Qt::NoBrush);
  p.setPen(outlinePen(9, ink::outline));
  p.drawPath(tick);
  p.setPen(outlinePen(6.6, ink::green));
  p.drawPath(tick);
}

void drawPopAdd(QPainter& p, const QSize& size) {
  // Add an entry: a sheet with a green plus.
  beginIcon(p, size);
  record(p);
  plus(p, QPointF(28, 28), 19, 6, 0, ink::green);
}

void drawPopEdit(QPainter& p, const QSize& size) {
  // Edit an entry: a sheet with a pencil writing on it.
  beginIcon(p, size);
  record(p);
  pencil(p, QPointF(17, 32), 40);
}

void drawPopDel(QPainter& p, const QSize& size) {
  // Mark an entry for deletion, or take the mark off: a sheet crossed out in red.
  beginIcon(p, size);
  record(p);
  plus(p, QPointF(28, 28), 20, 6, 45, ink::red);
}

void drawPopTop(QPainter& p, const QSize& size) {
  // First record: an arrow up to a bar.
  beginIcon(p, size);
  toEnd(p, true);
}

void drawPopBut(QPainter& p, const QSize& size) {
  // Last record: an arrow down to a bar.
  beginIcon(p, size);
  toEnd(p, false);
}

void drawPopSave(QPainter& p, const QSize& size) {
  // Save: a blue diskette with its metal shutter and a label.
  beginIcon(p, size);
  const QRectF body(5, 5, 30, 30);
  QPainterPath shell;
  shell.moveTo(body.left() + 2, body.top());
  shell.lineTo(body.right() - 5, body.top());
  shell.lineTo(body.right(), body.top() + 5);  // the cut corner
  shell.lineTo(body.right(), body.bottom() - 2);
  shell.quadTo(body.bottomRight(), body.bottomRight() - QPointF(2, 0));
  shell.lineTo(body.left() + 2, body.bottom());
  shell.quadTo(body.bottomLeft(), body.bottomLeft() - QPointF(0, 2));
  shell.lineTo(body.left(), body.top() + 2);
  shell.quadTo(body.topLeft(), body.topLeft() + QPointF(2, 0));
  p.setPen(outlinePen(1.2));
  p.setBrush(ink::blue);
  p.drawPath(shell);
  // Shutter with its window.
  p.setPen(outlinePen(1.0));
  p.setBrush(QColor(206, 212, 220));
  p.drawRect(QRectF(11, 5, 16, 10));
  p.setPen(Qt::NoPen);
  p.setBrush(QColor(60, 70, 86));
  p.drawRect(QRectF(21, 7, 4, 6));
  // Label with a line of writing.
  p.setPen(outlinePen(1.0));
  p.setBrush(ink::paper);
  p.drawRoundedRect(QRectF(9, 20, 22, 15), 1.2, 1.2);
  p.setPen(outlinePen(1.3, QColor(150, 160, 176)));
  p.drawLine(QPointF(12, 25), QPointF(28, 25));
  p.drawLine(QPointF(12, 29.5), QPointF(24, 29.5));
}

void drawPopCan(QPainter& p, const QSize& size) {
  // Cancel: a red disc with a white cross.
  beginIcon(p, size);
  const QPointF c(20, 20);
  QRadialGradient disc(c - QPointF(5, 5), 20);
  disc.setColorAt(0, tint(ink::red, 30));
  disc.setColorAt(1, tint(ink::red, -15));
  p.setPen(outlinePen(1.2));
  p.setBrush(disc);
  p.drawEllipse(c, 16.5, 16.5);
  p.setPen(outlinePen(4.6, ink::paper));
  p.drawLine(QPointF(13.5, 13.5), QPointF(26.5, 26.5));
  p.drawLine(QPointF(26.5, 13.5), QPointF(13.5, 26.5));
}

void drawPopPass(QPainter& p, const QSize& size) {
  // Password: a gold key, drawn along its own axis (bow at the top) and laid diagonally.
  beginIcon(p, size);
  const QColor gold(232, 184, 40);
  p.save();
  p.translate(20, 20);
  p.rotate(-45);
  QPainterPath key;
  key.setFillRule(Qt::WindingFill);
  key.addEllipse(QPointF(0, -10), 8.5, 8.5);  // the bow
  key.addRect(QRectF(-2.4, -3, 4.8, 23));     // the shank
  key.addRect(QRectF(1.9, 10, 5.5, 3.6));     // the bit, two teeth
  key.addRect(QRectF(1.9, 15.5, 4.0, 3.6));
  QPainterPath hole;
  hole.addEllipse(QPointF(0, -12.5), 3, 3);
  p.setPen(outlinePen(1.1, tint(gold, -55)));
  p.setBrush(gold);
  p.drawPath(key.simplified().subtracted(hole));
  p.setPen(outlinePen(1.6, tint(gold, 55)));
  p.drawArc(QRectF(-6, -16, 12, 12), 200 * 16, 70 * 16);
  p.restore();
}

void drawPopRight(QPainter& p, const QSize& size) {
  // Access rights: a purple shield with a gold star.
  beginIcon(p, size);
  const QColor purple(124, 78, 176);
  QPainterPath shield;
  shield.moveTo(20, 3);
  shield.cubicTo(25, 6, 30, 7, 34, 7);
  shield.cubicTo(34, 21, 30, 31, 20, 37);
  shield.cubicTo(10, 31, 6, 21, 6, 7);
  shield.cubicTo(10, 7, 15, 6, 20, 3);
  // Light from the left: the right half is in shade, with a sharp edge down the middle ridge.
  QLinearGradient shading(QPointF(6, 0), QPointF(34, 0));
  shading.setColorAt(0, tint(purple, 25));
  shading.setColorAt(0.5, purple);
  shading.setColorAt(0.501, tint(purple, -18));
  shading.setColorAt(1, tint(purple, -18));
  p.setPen(outlinePen(1.2));
  p.setBrush(shading);
  p.drawPath(shield);

  QPolygonF star;
  const QPointF c(20, 19);
  for (int k = 0; k < 10; ++k) {
    const qreal a = k * std::numbers::pi / 5;
    const qreal r = k % 2 == 0 ? 9 : 3.8;
    star << c + QPointF(r * std::sin(a), -r * std::cos(a));
  }
  p.setPen(outlinePen(1.0, QColor(120, 80, 10)));
  p.setBrush(ink::yellow);
  p.drawPolygon(star);
}

}  // namespace pics
