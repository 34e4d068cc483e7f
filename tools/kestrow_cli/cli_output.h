#pragma once
// What every command prints and returns: results on standard output, one
// line per failure or warning on standard error, and the exit status.

#include <ostream>
#include <string>
#include <string_view>

#include "editor/shapes/shapes_file_open.h"
#include "platform/file/file.h"

constexpr int kExitSuccess = 0;
constexpr int kExitFailed = 1;
constexpr int kExitUsage = 2;

inline constexpr char kProgramName[] = "kestrow-cli";

struct CliOutput {
  std::ostream& out;
  std::ostream& err;

  // Prints "kestrow-cli: <message>" on one line of standard error and
  // returns kExitFailed, so a command can end with `return Fail(...)`.
  int Fail(std::string_view message) const;
  // "kestrow-cli: warning: <message>"; the status is not changed.
  void Warn(std::string_view message) const;
};

// The editor's messages break lines for their message boxes; a failure
// here is one line, so each line break becomes a sentence break.
std::string OneLine(std::string_view message);

// Opens the shapes file for `use` as the editor does, rolling back a patch
// of it that was interrupted first and saying so on standard error. On
// failure prints the editor's open message with the cause (or why the file
// cannot be read until it is restored) and returns false; a file of
// another length draws the editor's size warning and the command goes on.
bool OpenShapesForCommand(CFile& file, const std::string& path, ShapesFileUse use, const CliOutput& output,
                          ULONGLONG* length = nullptr);

// The rolling back alone, for every command that names a shapes file,
// whether or not it comes to open it: false, with the failure printed, when
// the file may not be read until it is restored.
bool RecoverShapesForCommand(const std::string& path, const CliOutput& output);
