// blendshots OUTPUT_DIR [MAIN.INI]: run from an installation's folder on an X display, it logs in
// as the demo administrator and photographs the login, the company browser, the company editor
// and the formula editor, each as the operator would see it, into OUTPUT_DIR/login.png,
// browser.png, editor.png and formula.png.
//
// Each dialog is really shown and painted; a dialog driver takes the picture of the whole screen
// once the window system has drawn it, then does what the operator would do next.
#include <QApplication>
#include <QDir>
#include <QPixmap>
#include <QScreen>
#include <QThread>
#include <QTimer>
#include <cstdio>
#include <functional>
#include <optional>
#include <string>

#include "data/context.h"
#include "data/expr/named_values.h"
#include "data/rights.h"
#include "data/settings.h"
#include "data/table/expression_keys.h"
#include "data/table/workspace.h"
#include "master/browser.h"
#include "shell/login_dialog.h"
#include "shell/station.h"
#include "ui/dialog.h"
#include "ui/fonts.h"
#include "ui/qt_ui.h"
#include "ui/table_grid.h"

namespace {

using namespace blend;

class Photographer : public DialogDriver {
 public:
  explicit Photographer(QString dir) : dir_(std::move(dir)) {}

  // What to do with the next dialogs, in order: the picture's name (empty: none) and the
  // operator's next step.
  void then(QString picture, std::function<void(Dialog&)> act) {
    steps_.push_back({std::move(picture), std::move(act)});
  }

  void drive(Dialog& dialog) override {
    if (steps_.empty()) {
      dialog.reject();
      return;
    }
    auto [picture, act] = steps_.front();
    steps_.erase(steps_.begin());
    dialog.show();
    if (!picture.isEmpty()) snap(dialog, picture);
    act(dialog);
    dialog.hide();
  }

  // The whole screen once the window system has drawn what changed.
  void snap(QWidget& window, const QString& picture) {
    settle();
    const QString path = QDir(dir_).filePath(picture + QStringLiteral(".png"));
    if (window.screen()->grabWindow(0).save(path))
      std::printf("%s\n", qPrintable(path));
    else
      std::fprintf(stderr, "blendshots: cannot write %s\n", qPrintable(path));
  }

 private:
  static void settle() {
    for (int i = 0; i < 20; ++i) {
      QCoreApplication::processEvents();
      QThread::msleep(25);
    }
  }

  QString dir_;
  std::vector<std::pair<QString, std::function<void(Dialog&)>>> steps_;
};

}  // namespace

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  if (argc < 2) {
    std::fputs("usage: blendshots OUTPUT_DIR [MAIN.INI]\n", stderr);
    return 2;
  }
  QDir().mkpath(QString::fromLocal8Bit(argv[1]));
  std::optional<std::string> ini;
  if (argc > 2) ini = argv[2];
  Station station(ini);
  Context& context = station.context;
  Workspace& tables = station.tables;

  Photographer photos(QString::fromLocal8Bit(argv[1]));
  setDialogDriver(&photos);
  photos.then(QStringLiteral("login"), [&](Dialog& d) {
    d.type("user", QStringLiteral("admin"));
    d.type("password", QStringLiteral("admin"));
    d.click("ok");
  });
  if (!PASSWORD(context, tables)) {
    std::fputs("blendshots: the demo administrator could not log in\n", stderr);
    return 1;
  }
  // The browser with one row marked, to show its colour; the mark comes off again after.
  const auto setMark = [&](TableGrid& grid, int row, bool marked) {
    grid.clickRow(row);
    Table* t = grid.table();
    if (!t || t->deleted() == marked || t->lockRecord() != LockResult::Locked) return;
    marked ? t->deleteRecord() : t->recall();
    tables.unlockAll();
    grid.refresh();
  };
  photos.then(QString(), [&](Dialog& d) {
    TableGrid& grid = *d.control<TableGrid>("grid");
    setMark(grid, 2, true);
    grid.clickRow(3);
    photos.snap(d, QStringLiteral("browser"));
    d.click("edit");
    setMark(grid, 2, false);
    d.closeBox();
  });
  photos.then(QStringLiteral("editor"), [](Dialog& d) { d.click("cancel"); });
  POPCODE(context, tables, BrowseMode::Menu, 1, "");

  // The formula editor on the first formula.
  photos.then(QString(), [](Dialog& d) {
    d.click("edit");
    d.closeBox();
  });
  photos.then(QStringLiteral("formula"), [](Dialog& d) { d.click("cancel"); });
  POPCODE(context, tables, BrowseMode::Menu, 3, "");
  setDialogDriver(nullptr);
  return 0;
}
