// Toolbar icons. Each draws in a 40 x 40 space (beginIcon) on the button-face grey, with one
// dominant colour of its own so the buttons can be told apart at a glance.
#include <QPainterPath>
#include <QPolygonF>
#include <cmath>
#include <numbers>

#include "drawings.h"
#include "shapes.h"

namespace pics {

void drawProcess(QPainter& p, const QSize& size) {
  // Production records: a clipboard with a production sheet, and a gear for "run".
  beginIcon(p, size);
  roundedTile(p, QRectF(6, 5, 24, 31), 3, QColor(196, 140, 84));
  p.setPen(outlinePen(1.0));
  p.setBrush(ink::paper);
  p.drawRect(QRectF(9, 10, 18, 23));
  p.setPen(outlinePen(1.6, QColor(150, 160, 176)));
  for (qreal y : {16.0, 20.5, 25.0}) p.drawLine(QPointF(12, y), QPointF(24, y));
  roundedTile(p, QRectF(12, 3, 12, 6), 2, ink::steel);
  gear(p, QPointF(28.5, 28.5), 9.5, 8, ink::blue);
}

void drawInternet(QPainter& p, const QSize& size) {
  // Network link: a globe with send and receive arrows.
  beginIcon(p, size);
  const QPointF c(17, 18);
  const qreal r = 14;
  p.setPen(outlinePen());
  p.setBrush(QColor(96, 170, 232));
  p.drawEllipse(c, r, r);
  // Land masses, clipped to the globe.
  QPainterPath globe;
  globe.addEllipse(c, r, r);
  p.save();
  p.setClipPath(globe);
  p.setPen(Qt::NoPen);
  p.setBrush(QColor(110, 196, 110));
  p.drawEllipse(QRectF(6, 7, 11, 9));
  p.drawEllipse(QRectF(16, 18, 9, 12));
  p.drawEllipse(QRectF(22, 8, 10, 6));
  p.restore();
  // Meridians and parallels.
  p.setPen(outlinePen(0.9, QColor(40, 80, 130)));
  p.setBrush(Qt::NoBrush);
  p.drawEllipse(c, r * 0.45, r);
  p.drawLine(QPointF(c.x(), c.y() - r), QPointF(c.x(), c.y() + r));
  p.drawLine(QPointF(c.x() - r, c.y()), QPointF(c.x() + r, c.y()));
  p.drawLine(QPointF(c.x() - r * 0.85, c.y() - r * 0.5),
             QPointF(c.x() + r * 0.85, c.y() - r * 0.5));
  p.drawLine(QPointF(c.x() - r * 0.85, c.y() + r * 0.5),
             QPointF(c.x() + r * 0.85, c.y() + r * 0.5));
  p.setPen(outlinePen());
  p.drawEllipse(c, r, r);
  arrow(p, QPointF(27, 38), QPointF(27, 23), 4.2, ink::green);
  arrow(p, QPointF(35, 22), QPointF(35, 38.5), 4.2, ink::orange);
}

void drawControl(QPainter& p, const QSize& size) {
  // Control test panel: two toggle switches under a row of lamps.
  beginIcon(p, size);
  roundedTile(p, QRectF(3, 5, 34, 30), 4, QColor(84, 96, 114));
  const QColor lamps[] = {ink::red, ink::yellow, QColor(90, 210, 110)};
  for (int k = 0; k < 3; ++k) {
    const QPointF c(11 + k * 9, 13);
    p.setPen(outlinePen(1.0, QColor(30, 34, 42)));
    p.setBrush(lamps[k]);
    p.drawEllipse(c, 3.4, 3.4);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(255, 255, 255, 170));
    p.drawEllipse(c + QPointF(-1.1, -1.1), 1.1, 1.1);
  }
  // Switch slots with their levers: one up (on), one down (off).
  for (int k = 0; k < 2; ++k) {
    const qreal x = 14 + k * 12;
    p.setPen(outlinePen(1.0, QColor(30, 34, 42)));
    p.setBrush(QColor(44, 50, 60));
    p.drawRoundedRect(QRectF(x - 3.5, 21, 7, 11), 2, 2);
    const bool on = k == 0;
    p.setBrush(on ? QColor(240, 240, 240) : QColor(190, 196, 204));
    p.drawRoundedRect(QRectF(x - 2.5, on ? 21.5 : 26.5, 5, 5), 1.2, 1.2);
  }
}

void drawReport(QPainter& p, const QSize& size) {
  // Reports: a page with a bar chart on it.
  beginIcon(p, size);
  document(p, QRectF(7, 3, 26, 34));
  p.setPen(outlinePen(1.4, QColor(150, 160, 176)));
  p.drawLine(QPointF(11, 9), QPointF(22, 9));
  p.drawLine(QPointF(11, 13), QPointF(19, 13));
  const QColor bars[] = {ink::blue, ink::green, ink::orange, ink::red};
  const qreal heights[] = {9, 15, 11, 18};
  p.setPen(outlinePen(0.8));
  for (int k = 0; k < 4; ++k) {
    p.setBrush(bars[k]);
    p.drawRect(QRectF(11 + k * 5, 33 - heights[k], 4, heights[k]));
  }
  p.setPen(outlinePen(1.0));
  p.drawLine(QPointF(10, 33), QPointF(30, 33));
}

void drawIndex(QPainter& p, const QSize& size) {
  // File maintenance: a database drum with a wrench across it.
  beginIcon(p, size);
  cylinder(p, QRectF(4, 4, 25, 32), 8, QColor(96, 150, 214), 2);

  // The wrench: a handle with an open jaw at the top end, laid diagonally.
  p.save();
  p.translate(27, 25);
  p.rotate(-45);
  QPainterPath wrench;
  wrench.setFillRule(Qt::WindingFill);
  wrench.addRoundedRect(QRectF(-2.6, -4, 5.2, 17), 2.6, 2.6);
  wrench.addEllipse(QPointF(0, -7), 6, 6);
  QPainterPath jaw;
  jaw.addRect(QRectF(-2.4, -15, 4.8, 8));
  p.setPen(outlinePen(1.1));
  p.setBrush(QColor(200, 206, 214));
  p.drawPath(wrench.simplified().subtracted(jaw));
  p.restore();
}

void drawClock(QPainter& p, const QSize& size) {
  // Date and time: a wall clock at ten past ten.
  beginIcon(p, size);
  const QPointF c(20, 20);
  p.setPen(outlinePen(1.2));
  p.setBrush(ink::blue);
  p.drawEllipse(c, 17, 17);
  p.setBrush(ink::paper);
  p.drawEllipse(c, 13.5, 13.5);
  for (int h = 0; h < 12; ++h) {
    const qreal a = h * std::numbers::pi / 6;
    const QPointF dir(std::sin(a), -std::cos(a));
    const qreal inner = h % 3 == 0 ? 9.5 : 11;
    p.setPen(outlinePen(h % 3 == 0 ? 1.6 : 1.0));
    p.drawLine(c + dir * inner, c + dir * 12.2);
  }
  auto hand = [&](qreal hours, qreal length, qreal width, const QColor& colour) {
    const qreal a = hours * std::numbers::pi / 6;
    p.setPen(outlinePen(width, colour));
    p.drawLine(c, c + QPointF(std::sin(a), -std::cos(a)) * length);
  };
  hand(10 + 10.0 / 60, 6.5, 2.2, ink::outline);
  hand(2, 10, 1.6, ink::outline);
  hand(7.5, 10.5, 0.9, ink::red);
  p.setPen(Qt::NoPen);
  p.setBrush(ink::red);
  p.drawEllipse(c, 1.6, 1.6);
}

void drawVaria(QPainter& p, const QSize& size) {
  // System variables: three slider controls at different settings.
  beginIcon(p, size);
  const qreal knob[] = {26, 12, 20};
  const QColor colours[] = {ink::orange, ink::blue, ink::green};
  for (int k = 0; k < 3; ++k) {
    const qreal x = 9 + k * 11;
    p.setPen(outlinePen(3.2, QColor(120, 130, 144)));
    p.drawLine(QPointF(x, 5), QPointF(x, 35));
    p.setPen(outlinePen(3.2, colours[k]));
    p.drawLine(QPointF(x, knob[k]), QPointF(x, 35));
    p.setPen(outlinePen(1.1));
    p.setBrush(tint(colours[k], 30));
    p.drawRoundedRect(QRectF(x - 5, knob[k] - 3.5, 10, 7), 2, 2);
    p.setPen(outlinePen(0.8));
    p.drawLine(QPointF(x - 2.5, knob[k]), QPointF(x + 2.5, knob[k]));
  }
}

void drawCalc(QPainter& p, const QSize& size) {
  // Calculator: display and a keypad with an orange equals key.
  beginIcon(p, size);
  roundedTile(p, QRectF(7, 3, 26, 34), 3.5, QColor(70, 80, 96));
  p.setPen(outlinePen(0.9, QColor(30, 34, 42)));
  p.setBrush(QColor(176, 226, 170));
  p.drawRoundedRect(QRectF(10, 6, 20, 7), 1.2, 1.2);
  p.setPen(outlinePen(1.2, QColor(40, 80, 40)));
  p.drawLine(QPointF(22, 9.5), QPointF(27, 9.5));  // a minus sign on the display
  p.setPen(Qt::NoPen);
  for (int row = 0; row < 4; ++row) {
    for (int col = 0; col < 4; ++col) {
      const bool equals = row == 3 && col == 3;
      const bool operation = col == 3;
      p.setBrush(equals ? ink::orange : operation ? QColor(170, 182, 198) : QColor(236, 238, 242));
      p.drawRoundedRect(QRectF(10 + col * 5.2, 16 + row * 5, 4, 3.8), 0.8, 0.8);
    }
  }
}

void drawPrinter(QPainter& p, const QSize& size) {
  // Printer set-up: a printer with a sheet going in and a printed one coming out.
  beginIcon(p, size);
  p.setPen(outlinePen(1.0));
  p.setBrush(ink::paper);
  p.drawRect(QRectF(11, 4, 18, 12));  // paper waiting at the back
  roundedTile(p, QRectF(3, 14, 34, 15), 3, QColor(150, 162, 178));
  p.setPen(Qt::NoPen);
  p.setBrush(QColor(120, 132, 148));
  p.drawRect(QRectF(4, 24, 32, 4));
  p.setPen(outlinePen(1.0));
  p.setBrush(QColor(90, 210, 110));
  p.drawEllipse(QPointF(31, 19), 1.8, 1.8);
  // The printed sheet, with lines of text.
  p.setBrush(ink::paper);
  p.drawRect(QRectF(10, 25, 20, 12));
  p.setPen(outlinePen(1.2, QColor(70, 120, 200)));
  for (qreal y : {29.0, 32.5}) p.drawLine(QPointF(13, y), QPointF(27, y));
}

void drawNote(QPainter& p, const QSize& size) {
  // Text editor: a ruled notepad with a pencil.
  beginIcon(p, size);
  p.setPen(outlinePen());
  p.setBrush(QColor(255, 240, 150));
  p.drawRect(QRectF(5, 6, 24, 31));
  p.setPen(outlinePen(1.0, QColor(150, 180, 220)));
  for (qreal y = 14; y < 35; y += 4.5) p.drawLine(QPointF(8, y), QPointF(26, y));
  // Spiral binding along the top.
  for (int k = 0; k < 5; ++k) {
    p.setPen(outlinePen(1.2));
    p.setBrush(QColor(200, 206, 214));
    p.drawRoundedRect(QRectF(7.5 + k * 4.4, 3, 2.2, 6), 1.1, 1.1);
  }

  // The pencil, laid diagonally with its point on the pad.
  pencil(p, QPointF(21.93, 34.07), 45);
}

void drawExit(QPainter& p, const QSize& size) {
  // Exit: an open door with a red arrow leaving through it.
  beginIcon(p, size);
  p.setPen(outlinePen());
  p.setBrush(QColor(60, 52, 48));
  p.drawRect(QRectF(6, 4, 18, 32));  // the dark doorway
  // The door, swung open towards us.
  p.setBrush(QColor(176, 118, 68));
  p.drawPolygon(QPolygonF{{6, 4}, {15, 8}, {15, 39}, {6, 36}});
  p.setPen(Qt::NoPen);
  p.setBrush(ink::yellow);
  p.drawEllipse(QPointF(13, 22), 1.3, 1.3);
  arrow(p, QPointF(17, 20), QPointF(38, 20), 6, ink::red);
}

}  // namespace pics
