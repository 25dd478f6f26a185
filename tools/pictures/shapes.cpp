#include "shapes.h"

#include <QLineF>
#include <QPainterPath>
#include <QPolygonF>
#include <cmath>
#include <numbers>

namespace pics {

QColor tint(const QColor& c, int percent) {
  auto mix = [&](int channel) {
    const int target = percent >= 0 ? 255 : 0;
    return channel + (target - channel) * std::abs(percent) / 100;
  };
  return QColor(mix(c.red()), mix(c.green()), mix(c.blue()));
}

void useDesignSpace(QPainter& p, const QSize& size, const QSizeF& design) {
  p.scale(size.width() / design.width(), size.height() / design.height());
}

void beginIcon(QPainter& p, const QSize& size) {
  p.fillRect(QRect(QPoint(0, 0), size), ink::buttonFace);
  useDesignSpace(p, size, QSizeF(40, 40));
}

QPen outlinePen(qreal width, const QColor& colour) {
  QPen pen(colour, width);
  pen.setJoinStyle(Qt::RoundJoin);
  pen.setCapStyle(Qt::RoundCap);
  return pen;
}

void roundedTile(QPainter& p, const QRectF& r, qreal radius, const QColor& fill) {
  p.setPen(outlinePen());
  p.setBrush(fill);
  p.drawRoundedRect(r, radius, radius);
}

void document(QPainter& p, const QRectF& r, const QColor& paper, qreal fold) {
  const QPolygonF sheet{{r.left(), r.top()},
                        {r.right() - fold, r.top()},
                        {r.right(), r.top() + fold},
                        {r.right(), r.bottom()},
                        {r.left(), r.bottom()}};
  p.setPen(outlinePen());
  p.setBrush(paper);
  p.drawPolygon(sheet);
  const QPolygonF flap{
      {r.right() - fold, r.top()}, {r.right() - fold, r.top() + fold}, {r.right(), r.top() + fold}};
  p.setBrush(tint(paper, -18));
  p.drawPolygon(flap);
}

void gear(QPainter& p, const QPointF& centre, qreal radius, int teeth, const QColor& fill) {
  const qreal root = radius * 0.74;
  const qreal step = 2 * std::numbers::pi / teeth;
  auto at = [&](qreal r, qreal angle) {
    return centre + QPointF(r * std::cos(angle), r * std::sin(angle));
  };
  QPolygonF rim;
  for (int k = 0; k < teeth; ++k) {
    const qreal a = k * step;
    rim << at(root, a - 0.30 * step) << at(radius, a - 0.17 * step) << at(radius, a + 0.17 * step)
        << at(root, a + 0.30 * step);
  }
  QPainterPath path;
  path.addPolygon(rim);
  path.closeSubpath();
  path.addEllipse(centre, radius * 0.30, radius * 0.30);
  path.setFillRule(Qt::OddEvenFill);
  p.setPen(outlinePen(1.0));
  p.setBrush(fill);
  p.drawPath(path);
}

void pencil(QPainter& p, const QPointF& tip, qreal degrees) {
  // Drawn along its own axis, point at the bottom: eraser, ferrule, painted body, bare wood.
  p.save();
  p.translate(tip);
  p.rotate(degrees);
  p.translate(0, -10);
  const qreal half = 3;
  p.setPen(outlinePen(1.0));
  p.setBrush(QColor(240, 160, 150));
  p.drawRoundedRect(QRectF(-half, -17, 2 * half, 4), 1.2, 1.2);
  p.setBrush(QColor(200, 206, 214));
  p.drawRect(QRectF(-half, -14, 2 * half, 2.5));
  p.setBrush(ink::orange);
  p.drawRect(QRectF(-half, -11.5, 2 * half, 15));
  p.setBrush(QColor(246, 214, 170));
  p.drawPolygon(QPolygonF{{-half, 3.5}, {half, 3.5}, {0, 10}});
  p.setPen(Qt::NoPen);
  p.setBrush(ink::outline);
  p.drawPolygon(QPolygonF{{-1.1, 7.7}, {1.1, 7.7}, {0, 10}});
  p.restore();
}

void arrow(QPainter& p, const QPointF& from, const QPointF& to, qreal width, const QColor& fill) {
  const QLineF line(from, to);
  const QPointF u = (to - from) / line.length();
  const QPointF n(-u.y(), u.x());
  const qreal headLength = width * 1.7;
  const qreal headHalf = width * 1.25;
  const QPointF neck = to - u * headLength;
  const QPolygonF shape{from + n * width / 2, neck + n * width / 2, neck + n * headHalf, to,
                        neck - n * headHalf,  neck - n * width / 2, from - n * width / 2};
  p.setPen(outlinePen(1.0));
  p.setBrush(fill);
  p.drawPolygon(shape);
}

void cylinder(QPainter& p, const QRectF& r, qreal capHeight, const QColor& fill, int bands) {
  const qreal half = capHeight / 2;
  const QRectF topCap(r.left(), r.top(), r.width(), capHeight);
  const QRectF bottomCap(r.left(), r.bottom() - capHeight, r.width(), capHeight);

  QPainterPath body;
  body.moveTo(r.left(), r.top() + half);
  body.lineTo(r.left(), r.bottom() - half);
  body.arcTo(bottomCap, 180, 180);
  body.lineTo(r.right(), r.top() + half);
  body.closeSubpath();

  QLinearGradient shading(r.topLeft(), r.topRight());
  shading.setColorAt(0, tint(fill, 25));
  shading.setColorAt(0.4, fill);
  shading.setColorAt(1, tint(fill, -22));
  p.setPen(outlinePen());
  p.setBrush(shading);
  p.drawPath(body);

  // Seams are the lower half of an ellipse, as the front edge of each disk would be.
  p.setBrush(Qt::NoBrush);
  const qreal bodyHeight = r.height() - capHeight;
  for (int k = 1; k <= bands; ++k) {
    const qreal y = r.top() + bodyHeight * k / (bands + 1);
    p.drawArc(QRectF(r.left(), y, r.width(), capHeight), 180 * 16, 180 * 16);
  }

  p.setBrush(tint(fill, 40));
  p.drawEllipse(topCap);
}

void cloud(QPainter& p, const QPointF& base, qreal width, const QColor& colour) {
  const qreal w = width;
  QPainterPath puff;
  puff.addRoundedRect(QRectF(base.x(), base.y() - w * 0.22, w, w * 0.22), w * 0.11, w * 0.11);
  puff.addEllipse(QRectF(base.x() + w * 0.12, base.y() - w * 0.38, w * 0.36, w * 0.34));
  puff.addEllipse(QRectF(base.x() + w * 0.36, base.y() - w * 0.50, w * 0.42, w * 0.44));
  puff.addEllipse(QRectF(base.x() + w * 0.62, base.y() - w * 0.32, w * 0.28, w * 0.26));
  puff.setFillRule(Qt::WindingFill);
  p.setPen(Qt::NoPen);
  p.setBrush(colour);
  p.drawPath(puff.simplified());
}

}  // namespace pics
