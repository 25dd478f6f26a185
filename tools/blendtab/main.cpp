// blendtab: the administrator's command-line tool over the station's data.
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "eval_command.h"
#include "table_commands.h"

namespace {

void usage() {
  std::fprintf(stderr,
               "usage: blendtab COMMAND [ARGS]\n"
               "commands:\n"
               "  eval 'EXPRESSION'   print the value of a stored expression\n"
               "Run 'blendtab COMMAND --help' for a command's arguments.\n");
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 2 || std::strcmp(argv[1], "--help") == 0) {
    usage();
    return argc < 2 ? 2 : 0;
  }
  const std::string command = argv[1];
  const std::vector<std::string> args(argv + 2, argv + argc);
  if (command == "eval") return blend::evalCommand(args);
  if (command == "install") return blend::installCommand(args);
  if (command == "dump") return blend::dumpCommand(args);
  if (command == "check") return blend::checkCommand(args);
  if (command == "reindex") return blend::reindexCommand(args);
  std::fprintf(stderr, "blendtab: unknown command '%s'\n", command.c_str());
  usage();
  return 2;
}
