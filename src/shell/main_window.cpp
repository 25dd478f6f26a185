#include "main_window.h"

#include <QCloseEvent>
#include <QLabel>
#include <QMenuBar>
#include <QPainter>
#include <QPainterPath>
#include <QScreen>
#include <QToolBar>

#include "exit_dialog.h"
#include "main_layout.h"
#include "status_bar.h"
#include "ui/picture.h"
#include "ui/picture_button.h"
#include "ui/text.h"

namespace blend {
namespace {

// Installation texts of the window: under the main picture and the status bar's default.
const char* const kLineText = "ระบบควบคุมการผสมปุ๋ยและบันทึกข้อมูลการผลิต";
const char* const kStatusText = "โปรแกรมควบคุมการผสมปุ๋ย  พร้อมทำงาน";

QColor colorOf(std::uint32_t value) {
  return QColor(value & 0xFF, (value >> 8) & 0xFF, (value >> 16) & 0xFF);
}

QLabel* colouredLabel(QWidget* parent, const QString& text, QColor fg, QColor bg) {
  auto* label = new QLabel(text, parent);
  label->setAlignment(Qt::AlignCenter);
  label->setAutoFillBackground(true);
  QPalette palette = label->palette();
  palette.setColor(QPalette::Window, bg);
  palette.setColor(QPalette::WindowText, fg);
  label->setPalette(palette);
  return label;
}

QFont reducedFont(QFont font) {
  if (font.pixelSize() > 0) font.setPixelSize(std::max(12, font.pixelSize() * 2 / 3));
  return font;
}

}  // namespace

QIcon stationIcon() {
  QPixmap pixmap(64, 64);
  pixmap.fill(Qt::transparent);
  QPainter p(&pixmap);
  p.setRenderHint(QPainter::Antialiasing);
  p.setBrush(QColor(30, 110, 60));
  p.setPen(Qt::NoPen);
  p.drawRoundedRect(2, 2, 60, 60, 12, 12);
  p.setBrush(QColor(245, 240, 220));
  for (int i = 0; i < 3; ++i) {  // three bins over a mixer
    QPainterPath bin;
    const int x = 10 + i * 16;
    bin.moveTo(x, 12);
    bin.lineTo(x + 12, 12);
    bin.lineTo(x + 12, 26);
    bin.lineTo(x + 6, 33);
    bin.lineTo(x, 26);
    bin.closeSubpath();
    p.drawPath(bin);
  }
  p.drawEllipse(QRect(14, 38, 36, 18));
  return QIcon(pixmap);
}

MainWindow::MainWindow(Context& context, Commands& commands, QWidget* parent)
    : QMainWindow(parent), context_(context), commands_(commands) {
  setWindowTitle(QStringLiteral("  โปรแกรมควบคุมการผสม สำหรับ ") + fromCp874(context.settings.CHLINE));
  setWindowIcon(stationIcon());
  QPalette palette = this->palette();
  palette.setColor(QPalette::Window, colorOf(context.settings.CCOLOR));
  palette.setColor(QPalette::WindowText, Qt::black);
  setPalette(palette);

  setMenuBar(BUILDMENU());
  buildToolbar();
  buildStage();
  setStatusBar(new StationStatusBar(QString::fromUtf8(kStatusText), this));
  // The window font is large for a wall-mounted screen; menu and status bar take the reduced
  // size of the same face so that the whole menu fits on a 1024-pixel screen.
  // The bar's own entries show their message while pointed at, as the menus' items do.
  connect(menuBar(), &QMenuBar::hovered, this,
          [this](QAction* action) { statusBar()->showMessage(action->statusTip()); });
  menuBar()->installEventFilter(this);
  const QFont reduced = reducedFont(font());
  menuBar()->setFont(reduced);
  for (QMenu* menu : menuBar()->findChildren<QMenu*>()) menu->setFont(reduced);
  statusBar()->setFont(reduced);
}

QMenuBar* MainWindow::BUILDMENU() {
  auto* bar = new QMenuBar(this);
  QMenu* menu = nullptr;
  QMenu* submenu = nullptr;
  const auto addCommand = [this](QWidget* where, const MenuEntry& e) {
    auto* action = new QAction(QString::fromUtf8(e.caption), where);
    action->setStatusTip(QString::fromUtf8(e.status));
    connect(action, &QAction::triggered, this, [this, command = e.command] {
      commands_.run(command);
    });
    where->addAction(action);
  };
  for (const MenuEntry& e : menuTable()) {
    switch (e.row) {
      case MenuRow::TopCommand:
        addCommand(bar, e);
        menu = nullptr;
        break;
      case MenuRow::Menu:
        menu = bar->addMenu(QString::fromUtf8(e.caption));
        menu->menuAction()->setStatusTip(QString::fromUtf8(e.status));
        submenu = nullptr;
        break;
      case MenuRow::Item:
        addCommand(menu, e);
        break;
      case MenuRow::Separator:
        menu->addSeparator();
        break;
      case MenuRow::Submenu:
        submenu = menu->addMenu(QString::fromUtf8(e.caption));
        submenu->menuAction()->setStatusTip(QString::fromUtf8(e.status));
        break;
      case MenuRow::SubItem:
        addCommand(submenu, e);
        break;
      case MenuRow::SubSeparator:
        submenu->addSeparator();
        break;
    }
  }
  return bar;
}

void MainWindow::buildToolbar() {
  auto* toolbar = addToolBar(QStringLiteral("toolbar"));
  toolbar->setObjectName("toolbar");
  toolbar->setMovable(false);
  toolbar->setFloatable(false);
  int n = 0;
  for (const ToolEntry& e : toolbarTable()) {
    toolbar->addSeparator();  // the group gap before every button
    auto* button = new PictureButton(e.picture, QString::fromUtf8(e.tooltip),
                                      QString::fromUtf8(e.status), toolbar);
    button->setObjectName(QString("tool%1").arg(++n));
    button->setFixedSize(48, 48);
    connect(button, &QToolButton::clicked, this, [this, command = e.command] {
      commands_.run(command);
    });
    toolbar->addWidget(button);
  }
}

void MainWindow::buildStage() {
  auto* stage = new QWidget(this);
  stage->setObjectName("stage");
  setCentralWidget(stage);
  banner_ = colouredLabel(stage, fromCp874(context_.settings.CHLINE), Qt::white, QColor(100, 0, 0));
  banner_->setObjectName("banner");
  picture_ = new QLabel(stage);
  picture_->setObjectName("picture");
  picture_->setPixmap(loadPicture(".\\LIBRARY\\MAIN.BMP"));
  picture_->setAlignment(Qt::AlignLeft | Qt::AlignTop);
  picture_->setCursor(Qt::PointingHandCursor);
  line_ = colouredLabel(stage, QString::fromUtf8(kLineText), Qt::yellow, QColor(255, 0, 0));
  line_->setObjectName("line");
}

void MainWindow::placeStage() {
  const QSize screenSize = screen() ? screen()->size() : size();
  const MainLayout layout = mainLayout(screenSize.width(), screenSize.height());
  // Rows count from the top of the client area, which the toolbar shares; the banner is never
  // let slip under the toolbar on a short screen.
  const int clientTop = menuWidget() ? menuWidget()->geometry().bottom() + 1 : 0;
  const int toolbarHeight = centralWidget()->geometry().top() - clientTop;
  const int dy = std::max(-toolbarHeight, -layout.banner.top());
  banner_->setGeometry(layout.banner.translated(0, dy));
  picture_->setGeometry(layout.picture.translated(0, dy));
  line_->setGeometry(layout.line.translated(0, dy));
}

bool MainWindow::eventFilter(QObject* watched, QEvent* event) {
  if (watched == menuBar() && event->type() == QEvent::Leave && !menuBar()->activeAction())
    statusBar()->clearMessage();
  return QMainWindow::eventFilter(watched, event);
}

void MainWindow::resizeEvent(QResizeEvent* event) {
  QMainWindow::resizeEvent(event);
  placeStage();
}

void MainWindow::closeEvent(QCloseEvent* event) {
  if (FINISH(this))
    event->accept();
  else
    event->ignore();
}

}  // namespace blend
