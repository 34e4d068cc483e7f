#pragma once
// What export and export-all share: a set's images read as Load Set shows
// them, and written as bitmap files the way a slot's Save As saves them.
// Every set asked for is read, and the shapes file closed, before the first
// picture file is written, so a damaged header leaves no partial export.

#include <string>
#include <vector>

#include "platform/base/win_types.h"
#include "platform/file/file.h"
#include "tools/kestrow_cli/cli_output.h"

struct SetPicture {
  int width = 0;
  int height = 0;
  std::vector<DWORD> pixels;  // width x height values 0x00RRGGBB, rows bottom-up
};

// Makes `folder` when it is missing. Returns the line that says why not, or
// an empty string; anything else in its place is an error.
std::string PrepareOutputFolder(const std::string& folder);

// Every image of set `setIndex`, in slot order. File errors throw
// CFileException.
std::vector<SetPicture> ReadSetPictures(CFile& file, int setIndex, bool noGammaCorrection);

// Writes the pictures of set `setIndex` into `folder` under the names
// export uses, making the folder when it is missing, and prints one line per
// file. Returns the exit status; a failure has been printed.
int WriteSetPictures(const std::string& folder, int setIndex, const std::vector<SetPicture>& pictures,
                     const CliOutput& output);
