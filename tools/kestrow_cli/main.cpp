// kestrow-cli: the editor's shapes-file work from the command line, for
// batches and scripts on machines without a display. See "kestrow-cli
// --help".
//
// No Qt application object is made: the bitmaps here are plain memory, and
// reading picture files through Qt's image readers needs no application.

#include <iostream>
#include <string>
#include <vector>

#include "tools/kestrow_cli/cli_run.h"

int main(int argc, char** argv) {
  const std::vector<std::string> arguments(argv + 1, argv + argc);
  const CliOutput output{std::cout, std::cerr};
  const int status = RunCli(arguments, output);
  std::cout.flush();
  return std::cout.good() ? status : kExitFailed;
}
