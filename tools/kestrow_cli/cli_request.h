#pragma once
// A command line taken apart: which command, its operands by meaning, and
// the options.

#include <string>

struct CliCommand;

struct CliRequest {
  const CliCommand* command = nullptr;  // null: the tool itself (--help, --version)
  bool help = false;
  bool version = false;
  bool noGammaCorrection = false;  // --no-gamma: "Disable gamma correction when loading"

  std::string shapesPath;
  int setIndex = -1;       // 0 to 7
  std::string folder;      // export and import
  std::string outputPath;  // palette, and probe when given
  int headerNumber = 0;    // probe
  int imageNumber = 0;     // probe
};
