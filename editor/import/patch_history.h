#pragma once
// The patch history: for every patch committed in place, what the file held
// before it, so that undo can put it back, and what the patch wrote, so that
// undo can tell whether the file still holds it. It lives in the state
// folder ($XDG_STATE_HOME/kestrow/history), for every file the user
// patches:
//
//   index       one line per entry, oldest first, under a first line
//               "kestrow patch history 1"; rewritten whole and renamed into
//               place, under the lock of the file "lock"
//   ID.entry    one entry: a first line "kestrow patch history entry 1", its
//               index line, then little-endian binary: the number of ranges,
//               each range as offset (8 bytes), byte count (4 bytes) and the
//               bytes it held before the patch; last, the CRC-32 of
//               everything before it
//
// An index line is "key=value" fields separated by single spaces, the path
// last, with every byte at or below a space, above 0x7E, or '%' written as
// %XX. Readers skip keys they do not know, so a later version can add some.
// The history is written without syncs: a crash can cost its newest entry,
// never the shapes file. An index that does not parse is made again from the
// entries' own lines, and a damaged entry is refused when it is read.
//
// Bounded: the newest 100 entries of each file (by device and inode) and
// 256 MiB of before-bytes in all, the oldest dropped first.
//
// The API below is what undo, the history listing and any later writer of
// entries (a patch file applied in place) use: list the entries of a file,
// read an entry's before-ranges, append an entry. The oldest state a file
// had in its history is its current bytes with the before-ranges of its
// entries laid over them from the newest to the oldest.

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "editor/import/patch_file_system.h"
#include "editor/import/patch_journal.h"
#include "platform/base/sha256.h"

inline constexpr std::size_t kHistoryEntriesPerFile = 100;
inline constexpr std::uint64_t kHistoryBytes = std::uint64_t{256} << 20;

// What made an entry: a patch of images (the editor's Patch, import), an
// undo, or a patch file applied in place.
enum class PatchKind { Patch, Undo, Apply };
// "patch", "undo" or "apply", as the index and the history listing write it.
const char* PatchKindName(PatchKind kind);

// A set that a patch wrote into, and which of its images (bit k: image k).
struct PatchedSet {
  int setIndex = 0;
  std::uint32_t images = 0;
  bool operator==(const PatchedSet&) const = default;
};

// Adds `set` to `sets`, which stay by rising set index: its images join
// those of the same set when it is there already.
void AddPatchedSet(std::vector<PatchedSet>& sets, const PatchedSet& set);

struct HistoryEntry {
  std::uint64_t id = 0;   // rising with every entry appended, over all files
  std::int64_t time = 0;  // seconds since 1970, UTC
  PatchKind kind = PatchKind::Patch;
  std::vector<std::uint64_t> undoes;  // an undo: the entries it put back, newest first
  std::string path;                   // absolute, as it was patched
  FileIdentity file;
  std::vector<PatchedSet> sets;
  std::uint64_t bytes = 0;           // the before-bytes the entry keeps
  kp::base::Sha256Digest written{};  // of the bytes the patch wrote, range after range
  bool operator==(const HistoryEntry&) const = default;
};

// The entries of the file at `path` with identity `file`, newest first: those
// of the same path and inode. Not the device, which can change when a
// removable disk is mounted again; not the inode alone, which a new file
// may be given once the old one is gone.
std::vector<HistoryEntry> ListHistory(const PatchEnvironment& env, const std::string& path, const FileIdentity& file);
// The ranges entry `entry` overwrote, with the bytes they held; nothing when
// its file is missing or damaged.
std::optional<std::vector<FileRange>> ReadHistoryBefore(const PatchEnvironment& env, const HistoryEntry& entry);
// Appends `entry` (its id and byte count are given here) with its
// before-ranges, drops what the bound no longer keeps, and returns it as
// kept. Throws CFileException when it cannot be written.
HistoryEntry AppendHistoryEntry(const PatchEnvironment& env, HistoryEntry entry, std::span<const FileRange> before);

// The formats, for the history's own use and for tests and fuzz targets.
std::string FormatHistoryIndex(std::span<const HistoryEntry> entries);
std::optional<std::vector<HistoryEntry>> ParseHistoryIndex(std::string_view text);
std::vector<BYTE> EncodeHistoryEntry(const HistoryEntry& entry, std::span<const FileRange> before);
std::optional<std::pair<HistoryEntry, std::vector<FileRange>>> DecodeHistoryEntry(std::span<const BYTE> bytes);

// The path as the history keeps it: absolute and normal.
std::string HistoryPath(const std::string& path);
// "2024-06-01 12:34:56" in local time.
std::string LocalTimeText(std::int64_t time);
// The sets of an entry as users know them: "Texture Set # 1", "Texture Set
// # 1 and Landscape # 2", or "8 sets".
std::string SetsText(std::span<const PatchedSet> sets);
