#pragma once
// What the main window offers: the menu bar and the toolbar as data, so that the window builds
// itself from them and the rights each entry asks for stand in one place.

#include <span>

namespace blend {

enum class Command {
  Production,
  IoTest,
  Reports,
  BrowseCompany,
  BrowseRawMat,
  BrowseFormula,
  BrowseUnit,
  BrowseUsers,
  BrowseReports,
  InterLink,
  Maintenance,
  BackupWork,
  BackupCodes,
  DeleteWork,
  RestoreWork,
  RestoreCodes,
  DateTime,
  Variables,
  PrinterSetup,
  Font1,
  Font2,
  Font3,
  Font4,
  Font5,
  Font6,
  TextEditor,
  Calculator,
  Exit,
};

// The rights an entry asks for: function index and minimum level; index 0 asks nothing.
struct Guard {
  int index = 0;
  int level = 0;
  bool any() const { return index > 0; }
};

enum class MenuRow { TopCommand, Menu, Item, Separator, Submenu, SubItem, SubSeparator };

struct MenuEntry {
  MenuRow row;
  const char* caption;  // UTF-8
  const char* status;   // status-bar message while highlighted
  Guard guard;
  Command command;
};

struct ToolEntry {
  const char* picture;  // station path, CP874-safe ASCII
  const char* status;
  const char* tooltip;
  Command command;
};

std::span<const MenuEntry> menuTable();
std::span<const ToolEntry> toolbarTable();

// The guard of a command as the menu gives it (the toolbar asks the same).
Guard guardOf(Command command);

}  // namespace blend
