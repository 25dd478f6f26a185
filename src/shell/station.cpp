#include "station.h"

#include <QApplication>

#include "data/table/expression_keys.h"
#include "ui/fonts.h"

namespace blend {

Station::Station(std::optional<std::string> iniArgument)
    : errors(ERRORSYS(ui, clock)),
      settings(loadSettings(std::move(iniArgument))),
      context{settings, ui, clock, *errors},
      names(&settings),
      tables(*errors) {
  installThaiFontSubstitutions();
  QApplication::setFont(makeFont(settings.OFONT0));
  tables.setKeyCompiler(expressionKeys(tables, *errors, &names));
}

}  // namespace blend
