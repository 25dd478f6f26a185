#include "desktop_programs.h"

#include <QProcess>
#include <QStandardPaths>

namespace blend {

QStringList desktopProgramCandidates(DesktopProgram which) {
#ifdef _WIN32
  return {which == DesktopProgram::Calculator ? "calc.exe" : "notepad.exe"};
#else
  if (which == DesktopProgram::Calculator)
    return {"gnome-calculator", "kcalc", "galculator", "mate-calc", "qalculate-qt",
            "qalculate-gtk", "xcalc"};
  return {"gnome-text-editor", "gedit", "kate", "kwrite", "mousepad", "pluma", "xed",
          "featherpad", "leafpad", "geany", "xedit"};
#endif
}

std::optional<QString> findDesktopProgram(DesktopProgram which, const QStringList& searchPaths) {
  for (const QString& name : desktopProgramCandidates(which)) {
    const QString path = QStandardPaths::findExecutable(name, searchPaths);
    if (!path.isEmpty()) return path;
  }
  return std::nullopt;
}

namespace {

void start(DesktopProgram which, const QStringList& arguments, Ui& ui,
           const QStringList& searchPaths) {
  const bool calculator = which == DesktopProgram::Calculator;
  const char* title = calculator ? "  เครื่องคิดเลข" : "  Text editor";
  const std::optional<QString> program = findDesktopProgram(which, searchPaths);
  if (!program) {
    ui.message(calculator ? "ไม่พบโปรแกรมเครื่องคิดเลขในเครื่องนี้\nกรุณาติดตั้งโปรแกรมเครื่องคิดเลขของระบบ"
                          : "ไม่พบโปรแกรมแก้ไขข้อความ (Text editor) ในเครื่องนี้\n"
                            "กรุณาติดตั้งโปรแกรมแก้ไขข้อความของระบบ",
               title, MessageKind::Warning);
    return;
  }
  if (!QProcess::startDetached(*program, arguments))
    ui.message("ไม่สามารถเรียกโปรแกรม " + program->toStdString(), title, MessageKind::Warning);
}

}  // namespace

void startDesktopProgram(DesktopProgram which, Ui& ui, const QStringList& searchPaths) {
  start(which, {}, ui, searchPaths);
}

void openWithDesktopProgram(DesktopProgram which, const QString& file, Ui& ui,
                            const QStringList& searchPaths) {
  start(which, {file}, ui, searchPaths);
}

}  // namespace blend
