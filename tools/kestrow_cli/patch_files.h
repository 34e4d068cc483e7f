#pragma once
// What diff, apply and show share: shapes files and patch files read whole
// into memory, and the lines that name what a patch changes.

#include <memory>
#include <span>
#include <string>
#include <vector>

#include "editor/import/shapes_layout.h"
#include "editor/import/shapes_patch.h"
#include "platform/base/win_types.h"
#include "platform/file/file.h"
#include "tools/kestrow_cli/cli_output.h"

// A shapes file read whole, with where its sets lie. The buffer is not
// filled with zeros before the file is read into it: for a file of 10 MB
// that costs about as much as decoding a small patch.
struct ShapesInMemory {
  std::unique_ptr<BYTE[]> buffer;
  std::size_t length = 0;
  ShapesLayout layout;

  std::span<BYTE> Bytes() { return {buffer.get(), length}; }
  std::span<const BYTE> Bytes() const { return {buffer.get(), length}; }
};

// Opens `path` as Load Set does (others may read it meanwhile, not write
// it), reads it and, unless told not to, its layout, and closes it. On
// failure prints the line and returns false.
enum class WithLayout { Yes, No };
bool ReadShapesInMemory(const std::string& path, ShapesInMemory& shapes, const CliOutput& output,
                        WithLayout withLayout = WithLayout::Yes);

// Reads the patch file `path` whole, refusing one larger than a patch of a
// shapes file of `shapesLength` bytes can be. On failure prints the line
// and returns false.
bool ReadPatchFile(const std::string& path, ULONGLONG shapesLength, std::vector<BYTE>& bytes, const CliOutput& output);

// One line per region changed, as "<what>: N bytes", and one for the bytes
// outside every region; each after `prefix`.
std::string ChangeLines(const ChangeSummary& summary, const std::string& prefix);
// "N bytes" or "1 byte".
std::string ByteCount(ULONGLONG bytes);
