// blendpics [--png] OUTPUT_DIR
//
// Writes the pictures the station shows (main window, login and exit dialogs, toolbar and dialog
// buttons) as 24-bit BMP files. They are drawn here rather than kept as binary files in the
// repository, so they can be changed in review like any other code.
#include <QDir>
#include <QFileInfo>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <cstdio>

#include "drawings.h"

namespace {

struct Picture {
  const char* fileName;  // the station looks names up case-insensitively, but keep them as is
  QSize size;
  void (*draw)(QPainter&, const QSize&);
};

// To add a picture: write its drawing function (icons.cpp for a 40 x 40 toolbar button,
// buttons.cpp for a dialog button), declare it in drawings.h and add a row here.
constexpr QSize kButton(40, 40);
// clang-format off
const Picture kPictures[] = {
    {"MAIN.BMP",     {720, 480}, pics::drawMain},
    {"welcome.bmp",  {300, 200}, pics::drawWelcome},
    {"goodbye.bmp",  {175, 125}, pics::drawGoodbye},
    {"Process.bmp",  kButton,    pics::drawProcess},
    {"Internet.bmp", kButton,    pics::drawInternet},
    {"Control.bmp",  kButton,    pics::drawControl},
    {"Report.bmp",   kButton,    pics::drawReport},
    {"index.bmp",    kButton,    pics::drawIndex},
    {"clock.bmp",    kButton,    pics::drawClock},
    {"varia.bmp",    kButton,    pics::drawVaria},
    {"Calc.bmp",     kButton,    pics::drawCalc},
    {"printer.bmp",  kButton,    pics::drawPrinter},
    {"note.bmp",     kButton,    pics::drawNote},
    {"exit.bmp",     kButton,    pics::drawExit},
    {"PopSeek.bmp",  kButton,    pics::drawPopSeek},
    {"PopOk.bmp",    kButton,    pics::drawPopOk},
    {"PopAdd.bmp",   kButton,    pics::drawPopAdd},
    {"PopEdit.bmp",  kButton,    pics::drawPopEdit},
    {"PopDel.bmp",   kButton,    pics::drawPopDel},
    {"PopTop.bmp",   kButton,    pics::drawPopTop},
    {"PopBut.bmp",   kButton,    pics::drawPopBut},
    {"PopSave.bmp",  kButton,    pics::drawPopSave},
    {"PopCan.bmp",   kButton,    pics::drawPopCan},
    {"PopPass.bmp",  kButton,    pics::drawPopPass},
    {"PopRight.bmp", kButton,    pics::drawPopRight},
};
// clang-format on

QImage render(const Picture& picture) {
  // RGB32 has no alpha to lose, so what we see while drawing is what the BMP holds.
  QImage image(picture.size, QImage::Format_RGB32);
  image.fill(Qt::white);
  QPainter p(&image);
  p.setRenderHint(QPainter::Antialiasing);
  p.setRenderHint(QPainter::TextAntialiasing);
  picture.draw(p, picture.size);
  p.end();
  return image;
}

void fail(const QString& message) {
  std::fprintf(stderr, "blendpics: %s\n", qPrintable(message));
}

// Qt's own chatter (e.g. about the runtime directory when run from a script) is dropped so that
// a successful run prints nothing; anything serious still reaches stderr.
void quietMessages(QtMsgType type, const QMessageLogContext&, const QString& message) {
  if (type == QtCriticalMsg || type == QtFatalMsg) fail(message);
}

}  // namespace

int main(int argc, char** argv) {
  // Text needs a QGuiApplication, but nothing is ever shown: run without a display so the tool
  // also works in build and install scripts.
  qputenv("QT_QPA_PLATFORM", "offscreen");

  // --png also writes a PNG beside each BMP, for looking at the pictures in a browser or review.
  bool png = false;
  QString outDir;
  for (int i = 1; i < argc; ++i) {
    const QString arg = QString::fromLocal8Bit(argv[i]);
    if (arg == QLatin1String("--png")) {
      png = true;
    } else if (outDir.isEmpty() && !arg.startsWith(QLatin1Char('-'))) {
      outDir = arg;
    } else {
      outDir.clear();
      break;
    }
  }
  if (outDir.isEmpty()) {
    std::fputs("usage: blendpics [--png] OUTPUT_DIR\n", stderr);
    return 2;
  }

  qInstallMessageHandler(quietMessages);
  QGuiApplication app(argc, argv);

  QDir dir(outDir);
  if (!dir.mkpath(QStringLiteral("."))) {
    fail(QStringLiteral("cannot create directory %1").arg(outDir));
    return 1;
  }
  int failures = 0;
  for (const Picture& picture : kPictures) {
    const QImage image = render(picture);
    const QString path = dir.filePath(QString::fromLatin1(picture.fileName));
    if (!image.save(path, "BMP")) {
      fail(QStringLiteral("cannot write %1").arg(path));
      ++failures;
      continue;
    }
    if (png) {
      const QString pngPath = dir.filePath(QFileInfo(path).completeBaseName() + ".png");
      if (!image.save(pngPath, "PNG")) {
        fail(QStringLiteral("cannot write %1").arg(pngPath));
        ++failures;
      }
    }
  }
  return failures == 0 ? 0 : 1;
}
