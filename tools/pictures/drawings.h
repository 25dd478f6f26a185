#pragma once
// One function per picture. Each paints the whole image it is given (the table in main.cpp
// says which size); the painter arrives with antialiasing on and nothing else set.
#include <QPainter>
#include <QSize>

namespace pics {

// Large pictures (scenes.cpp).
void drawMain(QPainter& p, const QSize& size);
void drawWelcome(QPainter& p, const QSize& size);
void drawGoodbye(QPainter& p, const QSize& size);

// Toolbar icons (icons.cpp).
void drawProcess(QPainter& p, const QSize& size);
void drawInternet(QPainter& p, const QSize& size);
void drawControl(QPainter& p, const QSize& size);
void drawReport(QPainter& p, const QSize& size);
void drawIndex(QPainter& p, const QSize& size);
void drawClock(QPainter& p, const QSize& size);
void drawVaria(QPainter& p, const QSize& size);
void drawCalc(QPainter& p, const QSize& size);
void drawPrinter(QPainter& p, const QSize& size);
void drawNote(QPainter& p, const QSize& size);
void drawExit(QPainter& p, const QSize& size);

// Dialog buttons (buttons.cpp).
void drawPopSeek(QPainter& p, const QSize& size);
void drawPopOk(QPainter& p, const QSize& size);
void drawPopAdd(QPainter& p, const QSize& size);
void drawPopEdit(QPainter& p, const QSize& size);
void drawPopDel(QPainter& p, const QSize& size);
void drawPopTop(QPainter& p, const QSize& size);
void drawPopBut(QPainter& p, const QSize& size);
void drawPopSave(QPainter& p, const QSize& size);
void drawPopCan(QPainter& p, const QSize& size);
void drawPopPass(QPainter& p, const QSize& size);
void drawPopRight(QPainter& p, const QSize& size);

}  // namespace pics
