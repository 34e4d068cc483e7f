// Fuzz target for the editor's command line: the arguments it is started
// with are joined into one command line, the client options are taken from
// it as the editor takes them ("Embedding", else "Automation"), and what is
// left is split into words again, which name the shapes file. An option is
// only ever a whole argument, "-Embedding" or "/Embedding" (and the same for
// "Automation"); taking it removes that one argument, and every other
// argument comes back exactly as it was given, whatever bytes it holds.

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

#include "input_arguments.h"
#include "platform/afx/win_app.h"

namespace {

// The first argument that is the option, or end().
std::vector<std::string>::const_iterator FindOption(const std::vector<std::string>& arguments,
                                                    const std::string& option) {
  return std::find_if(arguments.begin(), arguments.end(),
                      [&](const std::string& a) { return a == "-" + option || a == "/" + option; });
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  static CWinApp app("kestrow");
  const std::vector<std::string> arguments = ArgumentsFromInput(data, size);
  std::vector<std::string> copies = arguments;
  std::vector<char*> argv;
  std::string program = "kestrow";
  argv.push_back(program.data());
  for (std::string& argument : copies) argv.push_back(argument.data());

  app.SetCommandLine(kp::afx::JoinCommandLine(static_cast<int>(argv.size()), argv.data()));
  const bool embedded = app.RunEmbedded() != FALSE;
  const bool automated = !embedded && app.RunAutomated() != FALSE;

  auto option = FindOption(arguments, "Embedding");
  if (embedded != (option != arguments.end())) std::abort();
  if (!embedded) {
    option = FindOption(arguments, "Automation");
    if (automated != (option != arguments.end())) std::abort();
  }
  std::vector<std::string> expected = arguments;
  if (embedded || automated) expected.erase(expected.begin() + (option - arguments.begin()));
  if (kp::afx::SplitCommandLine(app.m_lpCmdLine) != expected) std::abort();
  return 0;
}
