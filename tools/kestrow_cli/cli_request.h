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
  bool dither = false;             // --dither: error diffusion instead of plain nearest colour
  bool json = false;               // --json: one JSON object instead of the text

  std::string shapesPath;
  int setIndex = -1;          // 0 to 7
  std::string folder;         // export, import, export-all and import-all
  std::string inputPath;      // convert's picture
  std::string outputPath;     // palette, convert, and probe when given
  std::string newShapesPath;  // --output NEW: import, import-all and apply write NEW, SHAPES is only read
  std::string modifiedPath;   // diff's MODIFIED (its ORIGINAL is shapesPath)
  std::string patchPath;      // diff's OUT.vcdiff, apply's and show's PATCH
  std::string steps;          // undo --steps N, as given
  int headerNumber = 0;       // probe
  int imageNumber = 0;        // probe
};
