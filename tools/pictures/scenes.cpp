// The large pictures: the plant on the main window, and the dawn and dusk views of it on the
// login and exit dialogs. Each is designed in its own pixel size and scaled if the table asks
// for another.
#include <QFont>
#include <QLinearGradient>
#include <QPainterPath>
#include <QPolygonF>
#include <QRadialGradient>
#include <algorithm>
#include <array>
#include <initializer_list>
#include <utility>

#include "drawings.h"
#include "shapes.h"

namespace pics {
namespace {

// One pastel per raw-material bin, in bin order.
const std::array<QColor, 8> kBinColours{
    QColor(244, 170, 170), QColor(247, 198, 148), QColor(242, 224, 130), QColor(180, 222, 150),
    QColor(150, 214, 204), QColor(158, 196, 238), QColor(192, 178, 236), QColor(234, 172, 214)};

void sky(QPainter& p, const QRectF& r, std::initializer_list<std::pair<qreal, QColor>> stops) {
  QLinearGradient g(r.topLeft(), r.bottomLeft());
  for (const auto& [at, colour] : stops) g.setColorAt(at, colour);
  p.fillRect(r, g);
}

void sun(QPainter& p, const QPointF& centre, qreal radius, const QColor& core, const QColor& glow) {
  QRadialGradient halo(centre, radius * 2.6);
  QColor clear = glow;
  clear.setAlpha(0);
  halo.setColorAt(0, glow);
  halo.setColorAt(1, clear);
  p.setPen(Qt::NoPen);
  p.setBrush(halo);
  p.drawEllipse(centre, radius * 2.6, radius * 2.6);
  p.setBrush(core);
  p.drawEllipse(centre, radius, radius);
}

// Alternate pale wedges fanning up from a sun on the horizon.
void sunRays(QPainter& p, const QPointF& centre, int count, qreal length, const QColor& colour) {
  QRadialGradient fade(centre, length);
  QColor clear = colour;
  clear.setAlpha(0);
  fade.setColorAt(0, colour);
  fade.setColorAt(1, clear);
  p.setPen(Qt::NoPen);
  p.setBrush(fade);
  const qreal step = 180.0 / count;
  for (int k = 0; k < count; k += 2) {
    QPainterPath wedge;
    wedge.moveTo(centre);
    wedge.arcTo(QRectF(centre.x() - length, centre.y() - length, 2 * length, 2 * length), k * step,
                step);
    wedge.closeSubpath();
    p.drawPath(wedge);
  }
}

// ---- the main window's plant --------------------------------------------------------------

// Layout of the plant in the 720 x 480 design. The bins hang in a row; everything under a bin
// is centred on it.
constexpr qreal kBinWidth = 64;
constexpr qreal kBinGap = 12;
constexpr qreal kBinsLeft = (720 - 8 * kBinWidth - 7 * kBinGap) / 2;
constexpr qreal kRoofTop = 50, kBodyTop = 64, kBodyBottom = 150, kOutlet = 182;
constexpr qreal kHopperTop = 206, kHopperCone = 226, kHopperBottom = 244;
constexpr qreal kBeltTop = 266, kBeltHeight = 12;
constexpr qreal kFloor = 458;
const QColor kSteel(120, 134, 152);
const QColor kSteelLight(176, 188, 202);

qreal binCentre(int bin) {
  return kBinsLeft + kBinWidth / 2 + bin * (kBinWidth + kBinGap);
}

void steelBeam(QPainter& p, const QRectF& r) {
  p.setPen(Qt::NoPen);
  p.setBrush(kSteel);
  p.drawRect(r);
  p.setBrush(kSteelLight);
  p.drawRect(QRectF(r.left(), r.top(), r.width(), std::min<qreal>(2, r.height() / 3)));
}

void plantFrame(QPainter& p) {
  // Two end columns carry the bin floor and the weighing floor.
  steelBeam(p, QRectF(kBinsLeft - 24, kBodyBottom - 4, 10, kFloor - kBodyBottom + 4));
  steelBeam(p, QRectF(720 - kBinsLeft + 14, kBodyBottom - 4, 10, kFloor - kBodyBottom + 4));
  steelBeam(p, QRectF(kBinsLeft - 26, kBodyBottom - 2, 720 - 2 * kBinsLeft + 52, 8));
  steelBeam(p, QRectF(kBinsLeft - 26, kHopperTop - 14, 720 - 2 * kBinsLeft + 52, 6));
  // Knee braces under the weighing floor make the structure read as a steel frame rather than
  // two poles.
  p.setPen(QPen(kSteelLight, 3));
  for (qreal x : {kBinsLeft - 19, 720 - kBinsLeft + 19}) {
    const qreal dir = x < 360 ? 1 : -1;
    p.drawLine(QPointF(x, kBeltTop - 16), QPointF(x + dir * 28, kHopperTop - 9));
  }
}

void bin(QPainter& p, int index) {
  const QColor colour = kBinColours[index];
  const qreal cx = binCentre(index);
  const qreal l = cx - kBinWidth / 2, r = cx + kBinWidth / 2;

  QPainterPath shape;
  shape.moveTo(cx - 8, kRoofTop);
  shape.lineTo(cx + 8, kRoofTop);
  shape.lineTo(r, kBodyTop);
  shape.lineTo(r, kBodyBottom);
  shape.lineTo(cx + 6, kOutlet - 6);
  shape.lineTo(cx + 6, kOutlet);
  shape.lineTo(cx - 6, kOutlet);
  shape.lineTo(cx - 6, kOutlet - 6);
  shape.lineTo(l, kBodyBottom);
  shape.lineTo(l, kBodyTop);
  shape.closeSubpath();

  QLinearGradient shading(QPointF(l, 0), QPointF(r, 0));
  shading.setColorAt(0, tint(colour, 30));
  shading.setColorAt(0.35, colour);
  shading.setColorAt(1, tint(colour, -16));
  p.setPen(QPen(tint(colour, -35), 1.2));
  p.setBrush(shading);
  p.drawPath(shape);

  // Seams where the roof and the outlet cone meet the body, and one stiffening ring.
  p.setPen(QPen(tint(colour, -22), 1));
  p.drawLine(QPointF(l, kBodyTop), QPointF(r, kBodyTop));
  p.drawLine(QPointF(l, kBodyBottom), QPointF(r, kBodyBottom));
  p.drawLine(QPointF(l + 2, kBodyTop + 20), QPointF(r - 2, kBodyTop + 20));

  // The number sits in a white disc so it reads on every pastel.
  const QPointF badge(cx, (kBodyTop + 20 + kBodyBottom) / 2);
  p.setPen(QPen(tint(colour, -35), 1.2));
  p.setBrush(QColor(255, 255, 255, 235));
  p.drawEllipse(badge, 14, 14);
  QFont font(QStringLiteral("DejaVu Sans"));
  font.setStyleHint(QFont::SansSerif);
  font.setPixelSize(17);
  font.setBold(true);
  p.setFont(font);
  p.setPen(tint(colour, -60));
  p.drawText(QRectF(badge.x() - 14, badge.y() - 14, 28, 28), Qt::AlignCenter,
             QString::number(index + 1));
}

void weighHopper(QPainter& p, int index) {
  const QColor colour = kBinColours[index];
  const qreal cx = binCentre(index);
  const qreal half = 22;

  // Hung from the weighing floor by two load cells.
  p.setPen(QPen(kSteel, 2));
  p.drawLine(QPointF(cx - half + 4, kHopperTop - 8), QPointF(cx - half + 4, kHopperTop));
  p.drawLine(QPointF(cx + half - 4, kHopperTop - 8), QPointF(cx + half - 4, kHopperTop));
  p.setPen(Qt::NoPen);
  p.setBrush(QColor(70, 80, 96));
  p.drawRect(QRectF(cx - half + 1, kHopperTop - 6, 6, 4));
  p.drawRect(QRectF(cx + half - 7, kHopperTop - 6, 6, 4));

  const QPolygonF body{{cx - half, kHopperTop}, {cx + half, kHopperTop}, {cx + half, kHopperCone},
                       {cx + 5, kHopperBottom}, {cx - 5, kHopperBottom}, {cx - half, kHopperCone}};
  QLinearGradient metal(QPointF(cx - half, 0), QPointF(cx + half, 0));
  metal.setColorAt(0, QColor(232, 238, 244));
  metal.setColorAt(1, QColor(186, 198, 212));
  p.setPen(QPen(QColor(110, 124, 142), 1.2));
  p.setBrush(metal);
  p.drawPolygon(body);

  // A band in the bin's colour ties each hopper to its bin.
  p.setPen(Qt::NoPen);
  p.setBrush(colour);
  p.drawRect(QRectF(cx - half + 1, kHopperTop + 6, 2 * half - 2, 7));

  // Discharge gate.
  p.setBrush(QColor(70, 80, 96));
  p.drawRect(QRectF(cx - 7, kHopperBottom, 14, 4));

  // Short chute from the bin outlet into the hopper.
  p.setBrush(QColor(150, 162, 176));
  p.drawRect(QRectF(cx - 4, kOutlet, 8, kHopperTop - kOutlet - 8));
}

void granules(QPainter& p, qreal cx, qreal top, qreal bottom, const QColor& colour) {
  p.setPen(Qt::NoPen);
  p.setBrush(tint(colour, -25));
  const qreal offsets[] = {-2.5, 1.5, -0.5, 2.5, -1.5, 0.5};
  int k = 0;
  for (qreal y = top + 2; y < bottom; y += 3, ++k) {
    p.drawEllipse(QPointF(cx + offsets[k % 6], y), 1.5, 1.5);
  }
}

void belt(QPainter& p, qreal left, qreal right, bool towardsRight) {
  const QRectF r(left, kBeltTop, right - left, kBeltHeight);
  p.setPen(QPen(QColor(40, 46, 56), 1.2));
  p.setBrush(QColor(74, 82, 96));
  p.drawRoundedRect(r, kBeltHeight / 2, kBeltHeight / 2);
  // Chevrons show which way the material travels: both belts feed the mixer in the middle.
  p.setPen(QPen(QColor(150, 160, 176), 1.6, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
  const qreal dir = towardsRight ? 1 : -1;
  const qreal mid = kBeltTop + kBeltHeight / 2;
  for (qreal x = left + 20; x < right - 14; x += 26) {
    const QPolygonF chevron{{x - dir * 3, mid - 3}, {x + dir * 1, mid}, {x - dir * 3, mid + 3}};
    p.drawPolyline(chevron);
  }
  // End rollers; the belt's own supports are left out, they would only clutter the picture.
  p.setPen(QPen(QColor(40, 46, 56), 1));
  p.setBrush(QColor(196, 204, 214));
  p.drawEllipse(QPointF(left + kBeltHeight / 2, mid), 3.5, 3.5);
  p.drawEllipse(QPointF(right - kBeltHeight / 2, mid), 3.5, 3.5);
}

void mixer(QPainter& p) {
  const QRectF drum(262, 312, 196, 70);
  const qreal cap = 16;  // width of the visible end of the drum

  // Legs first, so the drum sits on them.
  p.setPen(Qt::NoPen);
  p.setBrush(kSteel);
  for (qreal x : {drum.left() + 46, drum.right() - 84}) {
    p.drawPolygon(QPolygonF{{x - 6, drum.bottom() - 6},
                            {x + 6, drum.bottom() - 6},
                            {x + 14, kFloor},
                            {x - 14, kFloor}});
  }

  // Feed funnel from the two belts.
  const QPolygonF funnel{{336, kBeltTop + kBeltHeight + 2},
                         {384, kBeltTop + kBeltHeight + 2},
                         {368, 298},
                         {368, drum.top() + 2},
                         {352, drum.top() + 2},
                         {352, 298}};
  p.setPen(QPen(QColor(110, 124, 142), 1.2));
  p.setBrush(QColor(206, 214, 224));
  p.drawPolygon(funnel);

  // Drive motor on the left end, on its own pedestal.
  const QRectF motor(drum.left() - 36, drum.center().y() - 12, 26, 24);
  p.setPen(Qt::NoPen);
  p.setBrush(kSteel);
  p.drawRect(QRectF(motor.center().x() - 4, motor.bottom(), 8, kFloor - motor.bottom()));
  p.drawRect(QRectF(motor.left() - 4, motor.bottom(), motor.width() + 8, 4));
  p.setPen(QPen(QColor(40, 46, 56), 1.2));
  p.setBrush(QColor(72, 140, 112));
  p.drawRoundedRect(motor, 4, 4);
  p.setBrush(QColor(90, 100, 114));
  p.drawRect(QRectF(drum.left() - 12, drum.center().y() - 4, 10, 8));

  // Drum body: a horizontal cylinder, lit from above.
  QPainterPath body;
  body.moveTo(drum.left() + cap / 2, drum.top());
  body.lineTo(drum.right() - cap / 2, drum.top());
  body.arcTo(QRectF(drum.right() - cap, drum.top(), cap, drum.height()), 90, -180);
  body.lineTo(drum.left() + cap / 2, drum.bottom());
  body.arcTo(QRectF(drum.left(), drum.top(), cap, drum.height()), 270, -180);
  body.closeSubpath();
  QLinearGradient light(drum.topLeft(), drum.bottomLeft());
  light.setColorAt(0, QColor(250, 214, 140));
  light.setColorAt(0.45, QColor(240, 172, 76));
  light.setColorAt(1, QColor(196, 122, 46));
  p.setPen(QPen(QColor(150, 90, 30), 1.4));
  p.setBrush(light);
  p.drawPath(body);

  // Riding rings and a highlight.
  p.setPen(Qt::NoPen);
  p.setBrush(QColor(170, 104, 38));
  for (qreal x : {drum.left() + 40, drum.right() - 46}) {
    p.drawRect(QRectF(x, drum.top(), 6, drum.height()));
  }
  p.setBrush(QColor(255, 255, 255, 70));
  p.drawRoundedRect(QRectF(drum.left() + 14, drum.top() + 8, drum.width() - 30, 8), 4, 4);
  // The visible left end.
  p.setPen(QPen(QColor(150, 90, 30), 1.4));
  p.setBrush(QColor(224, 150, 64));
  p.drawEllipse(QRectF(drum.left(), drum.top(), cap, drum.height()));
}

void bagging(QPainter& p) {
  const QColor edge(40, 46, 56), tube(206, 214, 224), tubeEdge(110, 124, 142);

  // Scale platform with its small display.
  p.setPen(QPen(edge, 1.2));
  p.setBrush(QColor(96, 106, 120));
  p.drawRect(QRectF(478, kFloor - 8, 60, 8));
  p.setBrush(QColor(60, 68, 80));
  p.drawRect(QRectF(542, kFloor - 44, 5, 44));
  p.setBrush(edge);
  p.drawRoundedRect(QRectF(536, kFloor - 58, 18, 14), 2, 2);
  p.setPen(Qt::NoPen);
  p.setBrush(QColor(110, 230, 140));
  p.drawRect(QRectF(539, kFloor - 55, 12, 6));

  // The bag on the scale, its mouth held under the spout.
  QPainterPath bag;
  bag.moveTo(498, 414);
  bag.lineTo(520, 414);
  bag.quadTo(530, 416, 530, 428);
  bag.lineTo(531, kFloor - 8);
  bag.lineTo(485, kFloor - 8);
  bag.lineTo(486, 428);
  bag.quadTo(486, 416, 498, 414);
  p.setPen(QPen(QColor(150, 140, 120), 1.2));
  p.setBrush(QColor(250, 246, 234));
  p.drawPath(bag);
  p.setPen(Qt::NoPen);
  p.setBrush(QColor(72, 168, 92));
  p.drawRect(QRectF(492, 432, 32, 8));

  // Discharge gate under the drum, a sloping chute and the bagging spout.
  const QPointF gate(418, 384);
  const QRectF spout(502, 396, 14, 20);
  const QPointF chuteFrom(gate.x(), gate.y() + 6), chuteTo(spout.center().x(), spout.top() + 6);
  p.setPen(QPen(tubeEdge, 11, Qt::SolidLine, Qt::FlatCap));
  p.drawLine(chuteFrom, chuteTo);
  p.setPen(QPen(tube, 8.6, Qt::SolidLine, Qt::FlatCap));
  p.drawLine(chuteFrom, chuteTo);
  p.setPen(QPen(tubeEdge, 1.2));
  p.setBrush(tube);
  p.drawRect(spout);
  p.setPen(QPen(edge, 1.2));
  p.setBrush(QColor(74, 82, 96));
  p.drawRect(QRectF(gate.x() - 12, gate.y() - 4, 24, 10));
  p.drawRect(QRectF(spout.left() - 2, spout.bottom() - 4, spout.width() + 4, 5));  // bag clamp
  p.setBrush(ink::red);
  p.drawRect(QRectF(gate.x() + 12, gate.y() - 2, 8, 6));  // gate actuator
}

void bagStack(QPainter& p) {
  // Finished bags on a pallet: three, then two on top.
  const qreal left = 584, w = 30, h = 15;
  p.setPen(QPen(QColor(120, 84, 48), 1));
  p.setBrush(QColor(186, 138, 88));
  p.drawRect(QRectF(left - 4, kFloor - 6, 3 * w + 8, 6));
  auto lying = [&](qreal x, qreal y) {
    p.setPen(QPen(QColor(150, 140, 120), 1));
    p.setBrush(QColor(250, 246, 234));
    p.drawRoundedRect(QRectF(x, y, w - 1, h), 6, 6);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(72, 168, 92));
    p.drawRect(QRectF(x + 9, y + 3, 10, h - 6));
  };
  for (int k = 0; k < 3; ++k) lying(left + k * w, kFloor - 6 - h);
  for (int k = 0; k < 2; ++k) lying(left + w / 2 + k * w, kFloor - 6 - 2 * h);
  lying(left + w, kFloor - 6 - 3 * h);
}

void controlHouse(QPainter& p) {
  // The operator's station: a small building beside the plant.
  const QRectF walls(64, 398, 100, kFloor - 398);
  p.setPen(QPen(QColor(150, 130, 100), 1.2));
  p.setBrush(QColor(250, 238, 212));
  p.drawRect(walls);
  p.setPen(QPen(QColor(120, 50, 40), 1.2));
  p.setBrush(QColor(196, 84, 64));
  p.drawPolygon(QPolygonF{{walls.left() - 8, walls.top() + 2},
                          {walls.center().x(), walls.top() - 22},
                          {walls.right() + 8, walls.top() + 2}});
  p.setPen(QPen(QColor(90, 110, 140), 1.2));
  p.setBrush(QColor(170, 214, 244));
  p.drawRect(QRectF(walls.left() + 10, walls.top() + 14, 42, 24));
  p.setPen(QPen(QColor(90, 110, 140), 1));
  p.drawLine(QPointF(walls.left() + 31, walls.top() + 14),
             QPointF(walls.left() + 31, walls.top() + 38));
  p.setPen(QPen(QColor(120, 90, 60), 1.2));
  p.setBrush(QColor(150, 110, 74));
  p.drawRect(QRectF(walls.right() - 30, walls.top() + 16, 20, walls.height() - 16));
  p.setPen(Qt::NoPen);
  p.setBrush(QColor(250, 220, 120));
  p.drawEllipse(QPointF(walls.right() - 14, walls.top() + 38), 1.6, 1.6);
}

// ---- dawn and dusk silhouettes --------------------------------------------------------------

// The plant reduced to an outline: the control house, a row of bins joined at the top by the
// conveyor gallery, the bucket-elevator tower and the bagging shed. `horizon` is the ground line;
// a valid `windows` colour lights a few windows (for dusk).
void plantSilhouette(QPainter& p, const QRectF& area, qreal horizon, const QColor& colour,
                     const QColor& windows = QColor()) {
  const qreal w = area.width(), h = horizon - area.top();
  auto X = [&](qreal f) { return area.left() + f * w; };
  auto Y = [&](qreal f) { return horizon - f * h; };
  auto block = [&](qreal x0, qreal x1, qreal height) {
    return QRectF(QPointF(X(x0), Y(height)), QPointF(X(x1), horizon));
  };

  QPainterPath plant;
  plant.setFillRule(Qt::WindingFill);
  plant.addRect(block(0.00, 0.14, 0.20));  // control house
  plant.addRect(block(0.16, 0.62, 0.30));  // building the bins stand on
  for (int k = 0; k < 4; ++k) {
    const qreal l = 0.18 + k * 0.11, r = l + 0.09;
    plant.addRect(block(l, r, 0.70));
    plant.addPolygon(QPolygonF{{X(l), Y(0.70)}, {X((l + r) / 2), Y(0.80)}, {X(r), Y(0.70)}});
  }
  plant.addRect(QRectF(QPointF(X(0.20), Y(0.88)), QPointF(X(0.64), Y(0.84))));  // gallery
  plant.addRect(block(0.63, 0.68, 0.88));                                       // elevator
  plant.addRect(QRectF(QPointF(X(0.61), Y(0.98)), QPointF(X(0.70), Y(0.86))));  // its head
  plant.addPolygon(QPolygonF{{X(0.70), horizon},
                             {X(0.70), Y(0.34)},
                             {X(0.84), Y(0.46)},
                             {X(0.98), Y(0.34)},
                             {X(0.98), horizon}});  // bagging shed
  p.setPen(Qt::NoPen);
  p.setBrush(colour);
  p.drawPath(plant.simplified());

  if (windows.isValid()) {
    p.setBrush(windows);
    const qreal s = w * 0.028;
    p.drawRect(QRectF(X(0.04), Y(0.13), s * 1.6, s));
    for (int k = 0; k < 3; ++k) p.drawRect(QRectF(X(0.24 + k * 0.13), Y(0.20), s, s));
    p.drawRect(QRectF(X(0.645), Y(0.60), s * 0.8, s));
    p.drawRect(QRectF(X(0.77), Y(0.22), s, s * 1.2));
    p.drawRect(QRectF(X(0.87), Y(0.22), s, s * 1.2));
  }
}

void bird(QPainter& p, const QPointF& at, qreal span, const QColor& colour) {
  QPainterPath v;
  v.moveTo(at.x() - span / 2, at.y() - span * 0.2);
  v.quadTo(at.x() - span / 4, at.y() - span * 0.35, at.x(), at.y());
  v.quadTo(at.x() + span / 4, at.y() - span * 0.35, at.x() + span / 2, at.y() - span * 0.2);
  p.setPen(QPen(colour, 1.3, Qt::SolidLine, Qt::RoundCap));
  p.setBrush(Qt::NoBrush);
  p.drawPath(v);
}

}  // namespace

void drawMain(QPainter& p, const QSize& size) {
  useDesignSpace(p, size, QSizeF(720, 480));
  sky(p, QRectF(0, 0, 720, 430),
      {{0, QColor(140, 200, 236)}, {0.7, QColor(214, 236, 248)}, {1, QColor(238, 246, 250)}});
  sun(p, QPointF(30, 34), 16, QColor(255, 226, 120), QColor(255, 240, 170, 160));
  cloud(p, QPointF(150, 46), 70, QColor(255, 255, 255, 220));
  cloud(p, QPointF(470, 44), 84, QColor(255, 255, 255, 220));
  cloud(p, QPointF(640, 300), 60, QColor(255, 255, 255, 200));
  cloud(p, QPointF(130, 330), 56, QColor(255, 255, 255, 190));

  // Far hills, then the yard.
  p.setPen(Qt::NoPen);
  QPainterPath hills;
  hills.moveTo(0, 430);
  hills.lineTo(0, 402);
  hills.cubicTo(120, 372, 220, 410, 340, 396);
  hills.cubicTo(460, 380, 560, 360, 720, 398);
  hills.lineTo(720, 430);
  hills.closeSubpath();
  p.setBrush(QColor(188, 220, 170));
  p.drawPath(hills);
  QLinearGradient yard(QPointF(0, 428), QPointF(0, 480));
  yard.setColorAt(0, QColor(168, 204, 132));
  yard.setColorAt(1, QColor(136, 180, 104));
  p.fillRect(QRectF(0, 428, 720, 52), yard);
  p.setBrush(QColor(212, 214, 210));
  p.drawRect(QRectF(28, kFloor - 2, 664, 14));
  p.setBrush(QColor(190, 192, 188));
  p.drawRect(QRectF(28, kFloor + 10, 664, 2));

  plantFrame(p);
  for (int k = 0; k < 8; ++k) weighHopper(p, k);
  for (int k = 0; k < 8; ++k) bin(p, k);
  // Two hoppers are discharging onto the belts, so the picture shows the plant at work.
  for (int k : {2, 5}) granules(p, binCentre(k), kHopperBottom + 4, kBeltTop, kBinColours[k]);
  belt(p, kBinsLeft - 4, 354, true);
  belt(p, 366, 720 - kBinsLeft + 4, false);
  mixer(p);
  bagging(p);
  bagStack(p);
  controlHouse(p);
}

void drawWelcome(QPainter& p, const QSize& size) {
  // Sunrise behind the plant: the start of a shift.
  useDesignSpace(p, size, QSizeF(300, 200));
  const qreal horizon = 150;
  sky(p, QRectF(0, 0, 300, horizon),
      {{0, QColor(94, 150, 214)}, {0.55, QColor(250, 190, 130)}, {1, QColor(255, 226, 150)}});
  sunRays(p, QPointF(262, horizon), 16, 240, QColor(255, 250, 215, 110));
  sun(p, QPointF(262, horizon - 4), 24, QColor(255, 214, 96), QColor(255, 240, 170, 200));
  cloud(p, QPointF(24, 46), 60, QColor(255, 255, 255, 150));
  cloud(p, QPointF(196, 60), 44, QColor(255, 240, 230, 150));
  bird(p, QPointF(96, 48), 12, QColor(70, 70, 100));
  bird(p, QPointF(114, 40), 9, QColor(70, 70, 100));

  plantSilhouette(p, QRectF(14, 58, 220, 92), horizon, QColor(64, 74, 112));
  QLinearGradient ground(QPointF(0, horizon), QPointF(0, 200));
  ground.setColorAt(0, QColor(110, 150, 96));
  ground.setColorAt(1, QColor(70, 110, 70));
  p.fillRect(QRectF(0, horizon, 300, 50), ground);
  // A road leading in.
  p.setPen(Qt::NoPen);
  p.setBrush(QColor(196, 176, 140));
  p.drawPolygon(QPolygonF{{134, horizon}, {146, horizon}, {196, 200}, {146, 200}});
}

void drawGoodbye(QPainter& p, const QSize& size) {
  // Sunset over the plant with its lights on: the end of the day.
  useDesignSpace(p, size, QSizeF(175, 125));
  const qreal horizon = 94;
  sky(p, QRectF(0, 0, 175, horizon),
      {{0, QColor(50, 58, 118)}, {0.5, QColor(170, 96, 150)}, {1, QColor(250, 156, 96)}});
  sun(p, QPointF(40, horizon + 2), 18, QColor(255, 150, 70), QColor(255, 180, 110, 170));

  p.setPen(Qt::NoPen);
  p.setBrush(QColor(255, 255, 230));
  for (const QPointF& star :
       {QPointF(20, 12), QPointF(62, 22), QPointF(98, 9), QPointF(118, 30), QPointF(76, 6)}) {
    p.drawEllipse(star, 0.9, 0.9);
  }
  // Crescent moon: a disc with a slightly smaller one cut out of it.
  QPainterPath moon;
  moon.addEllipse(QPointF(150, 20), 9, 9);
  QPainterPath bite;
  bite.addEllipse(QPointF(155, 16), 8, 8);
  p.setBrush(QColor(255, 244, 200));
  p.drawPath(moon.subtracted(bite));

  plantSilhouette(p, QRectF(58, 40, 112, 54), horizon, QColor(40, 36, 70), QColor(255, 214, 110));
  QLinearGradient ground(QPointF(0, horizon), QPointF(0, 125));
  ground.setColorAt(0, QColor(64, 58, 90));
  ground.setColorAt(1, QColor(34, 32, 56));
  p.fillRect(QRectF(0, horizon, 175, 31), ground);
}

}  // namespace pics
