// Fuzz target for the editor's command line: the arguments it is started
// with are joined into one command line, the client options are taken from
// it as the editor takes them ("Embedding", else "Automation"), and what is
// left is split into words again, which name the shapes file. An option is
// taken exactly where it is written after '-' or '/', and nothing else
// goes; without one, the words are the arguments, whatever bytes they hold.

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "input_arguments.h"
#include "platform/afx/win_app.h"

namespace {

// Where TakeOption would find `option`: directly after a '-' or '/'.
bool Written(const std::string& line, const std::string& option) {
  return line.find("-" + option) != std::string::npos || line.find("/" + option) != std::string::npos;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  static CWinApp app("kestrow");
  std::vector<std::string> arguments = ArgumentsFromInput(data, size);
  std::vector<char*> argv;
  std::string program = "kestrow";
  argv.push_back(program.data());
  for (std::string& argument : arguments) argv.push_back(argument.data());

  const std::string line = kp::afx::JoinCommandLine(static_cast<int>(argv.size()), argv.data());
  app.SetCommandLine(line);
  const bool embedded = app.RunEmbedded() != FALSE;
  const bool automated = !embedded && app.RunAutomated() != FALSE;
  const std::string rest = app.m_lpCmdLine;

  if (embedded != Written(line, "Embedding")) std::abort();
  if (!embedded && automated != Written(line, "Automation")) std::abort();
  // What goes is the option's name and the switch character before it.
  std::size_t taken = 0;
  if (embedded)
    taken = std::strlen("-Embedding");
  else if (automated)
    taken = std::strlen("-Automation");
  if (rest.size() + taken != line.size()) std::abort();

  const std::vector<std::string> words = kp::afx::SplitCommandLine(rest);
  if (!embedded && !automated && words != arguments) std::abort();
  return 0;
}
