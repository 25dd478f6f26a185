#include "fonts.h"

#include <QFontMetricsF>
#include <QStringList>
#include <cmath>

#include "text.h"

namespace blend {

void installThaiFontSubstitutions() {
  // Sans faces of the Windows world map to the TLWG sans faces, the "UPC" and "New" families
  // (narrow, tall Thai print faces) to TLWG's serif and print faces.
  const QStringList sans = {"Loma", "Garuda", "Waree", "Umpush", "Tlwg Typo"};
  const QStringList print = {"Laksaman", "Norasi", "Kinnari", "Garuda", "Loma"};
  for (const char* face : {"MS Sans Serif", "Microsoft Sans Serif", "Tahoma", "Arial",
                           "MS Shell Dlg", "MS Shell Dlg 2"})
    QFont::insertSubstitutions(face, sans);
  for (const char* family : {"Angsana", "Browallia", "Cordia", "Dillenia", "Eucrosia", "Freesia",
                             "Iris", "Jasmine", "Kodchiang", "Lily"}) {
    QFont::insertSubstitutions(QString(family) + "UPC", print);
    QFont::insertSubstitutions(QString(family) + " New", print);
  }
}

QFont makeFont(const FontSpec& described) {
  QFont font(fromCp874(described.face));
  if (described.height < 0) {
    font.setPixelSize(static_cast<int>(std::lround(-described.height)));
  } else if (described.height > 0) {
    // A cell height includes the internal leading; the character height is about 4/5 of it.
    font.setPixelSize(std::max(1, static_cast<int>(std::lround(described.height * 0.8))));
  }
  if (described.width > 0) {
    const double natural = QFontMetricsF(font).averageCharWidth();
    if (natural > 0)
      font.setStretch(std::clamp(static_cast<int>(std::lround(100 * described.width / natural)), 1,
                                 4000));
  }
  return font;
}

}  // namespace blend
