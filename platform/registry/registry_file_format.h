#pragma once
// The text form of the registry file. It is meant to be read (and, with
// care, edited) by people:
//
//   kestrow-registry 1
//   [CLSID]
//   [CLSID\{0B1C5D2E-...}]
//   @="Tavlet Control"
//   [CLSID\{0B1C5D2E-...}\InprocServer32]
//   @="/opt/kestrow/Tavlet.ocx"
//   "ThreadingModel"="Apartment"
//   "Flags"=dword:00000002
//   end 3
//
// - The first line names the format and its version.
// - Each key is one "[path]" line, parents before children, followed by its
//   values. Names in a path are separated by backslashes; the bytes %, [, ]
//   and control characters in a name are written %XX (two hex digits).
// - A value is "name"=data, or @=data for the default value. Data is a
//   quoted string or dword: and eight hex digits. In quoted names and
//   strings a backslash escapes: \\ \" \n \r \t and \xHH.
// - The last line is "end" and the number of "[...]" lines, so a file cut
//   short anywhere is recognised as damaged instead of read as less.
// - Blank lines and lines starting with ';' are ignored. Bytes from 0x80 up
//   (UTF-8) are written as they are.
//
// Parsing is a pure function over bytes; anything outside this grammar,
// duplicate keys or values, or a wrong count is an error.

#include <span>
#include <string>

#include "platform/registry/registry_tree.h"

namespace kp::registry {

// Fills `root` (which should be empty) from `bytes`. On failure returns
// false and describes the first fault, with its line number, in *error.
bool ParseRegistryFile(std::span<const BYTE> bytes, RegistryKey& root, std::string* error);

// The file text for `root`, in the form ParseRegistryFile reads.
std::string FormatRegistryFile(const RegistryKey& root);

}  // namespace kp::registry
