#pragma once
// What diff, apply and show share: shapes files and patch files read whole
// into memory, with the lines printed when they cannot be.

#include <string>
#include <vector>

#include "editor/import/patch_file_apply.h"
#include "platform/base/win_types.h"
#include "platform/file/file.h"
#include "tools/kestrow_cli/cli_output.h"

// Opens `path` as Load Set does (others may read it meanwhile, not write
// it), reads it and, unless told not to, its layout, and closes it. On
// failure prints the line and returns false.
enum class WithLayout { Yes, No };
bool ReadShapesInMemory(const std::string& path, ShapesInMemory& shapes, const CliOutput& output,
                        WithLayout withLayout = WithLayout::Yes);
// The same for the shapes file `file` at `path`, already open, which stays
// open.
bool ReadOpenShapesInMemory(CFile& file, const std::string& path, ShapesInMemory& shapes, const CliOutput& output,
                            WithLayout withLayout = WithLayout::Yes);

// Reads the patch file `path` whole, refusing one larger than a patch of a
// shapes file of `shapesLength` bytes can be. On failure prints the line
// and returns false.
bool ReadPatchFile(const std::string& path, ULONGLONG shapesLength, std::vector<BYTE>& bytes, const CliOutput& output);
