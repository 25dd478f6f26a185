#pragma once
// The dialog that puts a runtime error to the operator: the error line, the call stack and the
// answers the failing operation accepts.

#include <QString>
#include <QStringList>
#include <functional>

class QWidget;

namespace blend {

inline const QString kErrorDialogTitle = QStringLiteral("  blendctl - ข้อผิดพลาดของโปรแกรม");

enum class ErrorChoice { Quit, Retry, Default, Closed };

struct ErrorDialogContent {
  QString descriptionLine;  // the report's "   Error description: " line
  QStringList callLines;    // the report's "   Called from: " lines
  bool canRetry = false;
  bool canDefault = false;
};

// Shows the dialog and answers the operator's choice; Closed when the window was closed without
// one. `seeLog` runs for the "See Error.log file" button, which leaves the dialog open.
ErrorChoice showErrorDialog(const ErrorDialogContent& content, std::function<void()> seeLog,
                            QWidget* parent = nullptr);

}  // namespace blend
