#include "startup.h"

#include <QApplication>
#include <QPrintDialog>
#include <QPrinter>
#include <QScreen>
#include <optional>
#include <string>

#include "commands.h"
#include "control/io_test.h"
#include "data/context.h"
#include "data/expr/named_values.h"
#include "data/rights.h"
#include "data/settings.h"
#include "data/table/expression_keys.h"
#include "data/table/workspace.h"
#include "desktop_programs.h"
#include "error_handler.h"
#include "login_dialog.h"
#include "main_window.h"
#include "master/browser.h"
#include "station.h"
#include "ui/fonts.h"
#include "ui/qt_ui.h"

namespace blend {
namespace {

// Registered as the process's help file; no viewer is offered for it on this platform.
constexpr const char* kHelpFile = "Main.hlp";

// What Error.log tells of the open tables.
std::vector<OpenTableFacts> openTableFacts(const Workspace& tables) {
  std::vector<OpenTableFacts> facts;
  for (const Workspace::Area& area : tables.areas()) {
    OpenTableFacts f;
    f.area = area.number;
    f.alias = area.alias;
    f.current = area.current;
    f.recno = area.recno;
    f.reccount = area.reccount;
    f.bof = area.bof;
    f.eof = area.eof;
    if (!area.keyExpression.empty())
      f.indexes.push_back({area.keyExpression, area.indexPath.stem().string(), true});
    for (const auto& r : area.relations) f.relations.push_back({r.expression, r.target});
    facts.push_back(std::move(f));
  }
  return facts;
}

void wireDesktopCommands(Commands& commands, Context& context, MainWindow& window,
                         QPrinter& printer) {
  commands.setHandler(Command::PrinterSetup, [&] {
    QPrintDialog dialog(&printer, &window);
    dialog.setWindowTitle(QStringLiteral("  ตั้งค่าเครื่องพิมพ์"));
    dialog.exec();
  });
  commands.setHandler(Command::Calculator,
                      [&] { startDesktopProgram(DesktopProgram::Calculator, context.ui); });
  commands.setHandler(Command::TextEditor,
                      [&] { startDesktopProgram(DesktopProgram::TextEditor, context.ui); });
  commands.setHandler(Command::Exit, [&] { window.close(); });
  commands.setHandler(Command::IoTest, [&] { IOTEST(context, &window); });
}

void wireCodeTables(Commands& commands, Context& context, Workspace& tables, MainWindow& window) {
  const std::pair<Command, int> browsers[] = {
      {Command::BrowseCompany, kCompanyTable}, {Command::BrowseRawMat, kRawMatTable},
      {Command::BrowseFormula, kFormulaTable}, {Command::BrowseUsers, kUserTable},
      {Command::BrowseReports, kReportTable},  {Command::BrowseUnit, kUnitTable}};
  for (const auto& [command, tableNo] : browsers) {
    commands.setHandler(command, [&, tableNo] {
      POPCODE(context, tables, BrowseMode::Menu, tableNo, "", {}, {}, true, &window);
    });
  }
}

}  // namespace

int runStation(int argc, char** argv) {
  QApplication app(argc, argv);
  app.setApplicationName("blendctl");
  app.setProperty("helpFile", kHelpFile);
  std::optional<std::string> argument;
  if (argc > 1) argument = argv[1];
  Station station(argument);
  Context& context = station.context;
  Workspace& tables = station.tables;
  StationErrorHandler* errors = station.errors.get();
  errors->setOpenTablesProvider([&tables] { return openTableFacts(tables); });

  if (PASSWORD(context, tables)) {
    Commands commands(context);
    commands.setAuthorise([&](int index, int level) { return AUTHCHK(context, index, level); });
    MainWindow window(context, commands);
    QPrinter printer;
    wireDesktopCommands(commands, context, window, printer);
    wireCodeTables(commands, context, tables, window);
    // Without a window manager (a kiosk X session) nobody maximises the window; take the whole
    // available screen first so it is full size either way.
    if (QScreen* screen = window.screen()) window.setGeometry(screen->availableGeometry());
    window.showMaximized();
    errors->setMainWindowRunning(true);
    app.exec();
    errors->setMainWindowRunning(false);
  }
  // Shutdown: every table closes with the workspace; the log must not ask a closed one.
  errors->setOpenTablesProvider({});
  return 0;
}

}  // namespace blend
