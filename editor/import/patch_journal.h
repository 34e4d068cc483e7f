#pragma once
// The rollback journal of an in-place patch: what the shapes file held in
// every range the patch is about to overwrite, widened to whole 512-byte
// sectors, since a sector cut short by a power cut may hold garbage in any
// of its bytes. It is written and made
// durable before the first byte of the file changes, and removed once every
// new byte is durable, which commits the patch. A journal that is found
// later belongs to a writer that died: its bytes put the file back as it
// was. A journal that is incomplete or fails its checksum was never
// finished, so the file was not yet touched.
//
// The journal lies beside the shapes file, named after it, while its folder
// is writable; otherwise in the state folder, named after the file's device
// and inode.
//
// Layout, little-endian: "KSTRWJNL", version 1, device, inode and length of
// the file (8 bytes each), the length and bytes of the path the patch named
// the file by, the number of ranges, each range as offset (8 bytes), byte
// count (4 bytes) and bytes; last, the CRC-32 of everything before it
// (record_bytes.h).

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "editor/import/patch_file_system.h"
#include "platform/base/win_types.h"

// Bytes of a range of the file, at `offset`.
struct FileRange {
  std::uint64_t offset = 0;
  std::vector<BYTE> bytes;
  bool operator==(const FileRange&) const = default;
};

// Whether `count` bytes at `offset` lie inside a file of `length` bytes,
// asked so that no sum can wrap.
constexpr bool LiesInFile(std::uint64_t offset, std::uint64_t count, std::uint64_t length) {
  return offset <= length && count <= length - offset;
}

struct PatchJournal {
  std::string path;
  FileIdentity file;              // as the patch began
  std::vector<FileRange> before;  // every range the patch overwrites, as it was
};

std::vector<BYTE> EncodeJournal(const PatchJournal& journal);
// The journal in `bytes`, or nothing when they are not a whole one: cut
// short, damaged, or with a range outside the file it names.
std::optional<PatchJournal> DecodeJournal(std::span<const BYTE> bytes);

// The two places a journal of the file at `path` may be.
std::string JournalBeside(const std::string& path);
std::string JournalInStateFolder(const std::string& stateFolder, const FileIdentity& file);
