#pragma once
// Where import and import-all write. Without --output, SHAPES itself,
// opened for patching as Patch opens it. With --output NEW, SHAPES is only
// read: a temporary file beside NEW receives a copy of it, and the images
// located and converted from SHAPES are written into the copy at the same
// positions, so it ends up with exactly the bytes that patching SHAPES in
// place would leave. It replaces NEW only once it is complete.

#include <string>

#include "platform/file/file.h"
#include "tools/kestrow_cli/cli_output.h"
#include "tools/kestrow_cli/cli_request.h"

// Whether `a` and `b` name one file, also through hard or symbolic links:
// the same device and inode. A path that names no file names no file
// another path names.
bool NamesSameFile(const std::string& a, const std::string& b);

// The usage error of a request whose --output or picture output names
// SHAPES itself, or whose diff output names one of the files it compares,
// or an empty string.
std::string CheckOutputIsAnotherFile(const CliRequest& request);

class PatchTarget {
 public:
  explicit PatchTarget(const CliRequest& request) : m_request(request) {}

  // Opens SHAPES for patching, or for reading and copies it into NEW's
  // temporary file. On failure prints the line and returns false; nothing
  // has been written.
  bool Open(const CliOutput& output);
  // SHAPES, to read headers, palettes and positions from: messages about
  // it name SHAPES, whichever file is written.
  CFile& Shapes() { return m_shapes; }
  // The file the images are written into.
  CFile& Destination() { return WritesNewFile() ? m_new : m_shapes; }
  bool WritesNewFile() const { return !m_request.newShapesPath.empty(); }
  // Makes the writes final: closes SHAPES, or renames the temporary file
  // over NEW (and closes SHAPES). Throws CFileException. Without it NEW is
  // left as it was.
  void Commit();

 private:
  const CliRequest& m_request;
  CFile m_shapes;
  CFile m_new;  // --output: the temporary file that becomes NEW
};
