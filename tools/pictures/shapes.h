#pragma once
// Small drawing helpers shared by the pictures, so that the icons look like one family:
// the same outline colour, the same button-face background, the same few stock shapes.
#include <QColor>
#include <QPainter>
#include <QPointF>
#include <QRectF>
#include <QSize>
#include <QSizeF>

namespace pics {

namespace ink {
// The toolbar buttons are drawn in this grey; a 24-bit BMP has no alpha, so the icons paint
// it themselves to look transparent on the button.
inline const QColor buttonFace{240, 240, 240};
inline const QColor outline{52, 62, 76};
inline const QColor paper{255, 255, 255};
inline const QColor steel{150, 162, 176};
inline const QColor red{214, 64, 58};
inline const QColor green{72, 168, 92};
inline const QColor blue{58, 122, 204};
inline const QColor orange{240, 146, 48};
inline const QColor yellow{246, 204, 70};
}  // namespace ink

// Lighter (positive percent) or darker (negative percent) version of a colour.
QColor tint(const QColor& c, int percent);

// Lets a picture draw in the coordinates it was designed in, whatever size the table asks for.
void useDesignSpace(QPainter& p, const QSize& size, const QSizeF& design);

// Every toolbar icon starts here: paints the button face and sets up a 40 x 40 drawing space.
void beginIcon(QPainter& p, const QSize& size);

QPen outlinePen(qreal width = 1.2, const QColor& colour = ink::outline);

void roundedTile(QPainter& p, const QRectF& r, qreal radius, const QColor& fill);

// A sheet of paper with its top-right corner folded over.
void document(QPainter& p, const QRectF& r, const QColor& paper = ink::paper, qreal fold = 7);

// A toothed wheel with a hole in the middle.
void gear(QPainter& p, const QPointF& centre, qreal radius, int teeth, const QColor& fill);

// A pencil 27 long and 6 wide whose point is at `tip`; at 0 degrees it points straight down,
// positive angles turn it clockwise (45 lays it with the point at the lower left).
void pencil(QPainter& p, const QPointF& tip, qreal degrees);

// A straight block arrow whose shaft is `width` wide.
void arrow(QPainter& p, const QPointF& from, const QPointF& to, qreal width, const QColor& fill);

// An upright cylinder seen slightly from above; `bands` draws that many seams across the body
// (a database drum reads as a stack of disks).
void cylinder(QPainter& p, const QRectF& r, qreal capHeight, const QColor& fill, int bands = 0);

// A soft cloud made of overlapping blobs, `width` wide with its base at `base`.
void cloud(QPainter& p, const QPointF& base, qreal width, const QColor& colour);

}  // namespace pics
