#pragma once
// The desktop's own calculator and plain-text editor, started as separate programs.

#include <QString>
#include <QStringList>
#include <optional>

#include "data/ui.h"

namespace blend {

enum class DesktopProgram { Calculator, TextEditor };

// The programs tried, in order of preference, for this platform.
QStringList desktopProgramCandidates(DesktopProgram which);

// The first candidate found on the search path (or in `searchPaths` when given).
std::optional<QString> findDesktopProgram(DesktopProgram which,
                                          const QStringList& searchPaths = {});

// Starts the program detached from the station; tells the user plainly when this machine has
// none or it would not start.
void startDesktopProgram(DesktopProgram which, Ui& ui, const QStringList& searchPaths = {});

// The same, with a file for the program to open (a text file for the editor).
void openWithDesktopProgram(DesktopProgram which, const QString& file, Ui& ui,
                            const QStringList& searchPaths = {});

}  // namespace blend
