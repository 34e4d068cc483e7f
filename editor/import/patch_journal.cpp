#include "editor/import/patch_journal.h"

#include <algorithm>
#include <cstring>

#include "editor/import/record_bytes.h"

namespace {

constexpr char kMagic[] = "KSTRWJNL";
constexpr std::uint32_t kVersion = 1;
// Far more than any path or patch of a shapes file has; a count above them
// is damage, not a reason to reserve memory.
constexpr std::uint32_t kMostPathBytes = 1 << 16;
constexpr std::uint32_t kMostRanges = 1 << 20;

std::span<const BYTE> MagicBytes() { return {reinterpret_cast<const BYTE*>(kMagic), 8}; }

}  // namespace

std::vector<BYTE> EncodeJournal(const PatchJournal& journal) {
  RecordWriter record;
  record.PutBytes(MagicBytes());
  record.Put32(kVersion);
  record.Put64(journal.file.device);
  record.Put64(journal.file.inode);
  record.Put64(journal.file.length);
  record.Put32(static_cast<std::uint32_t>(journal.path.size()));
  record.PutBytes({reinterpret_cast<const BYTE*>(journal.path.data()), journal.path.size()});
  record.Put32(static_cast<std::uint32_t>(journal.before.size()));
  for (const FileRange& range : journal.before) {
    record.Put64(range.offset);
    record.Put32(static_cast<std::uint32_t>(range.bytes.size()));
    record.PutBytes(range.bytes);
  }
  record.PutChecksum();
  return std::move(record.Bytes());
}

std::optional<PatchJournal> DecodeJournal(std::span<const BYTE> bytes) {
  RecordReader record(bytes);
  const std::span<const BYTE> magic = record.Take(8);
  if (record.Failed() || !std::equal(magic.begin(), magic.end(), MagicBytes().begin())) return std::nullopt;
  if (record.Get32() != kVersion) return std::nullopt;
  PatchJournal journal;
  journal.file.device = record.Get64();
  journal.file.inode = record.Get64();
  journal.file.length = record.Get64();
  const std::uint32_t pathBytes = record.Get32();
  if (pathBytes > kMostPathBytes) return std::nullopt;
  const std::span<const BYTE> path = record.Take(pathBytes);
  journal.path.assign(path.begin(), path.end());
  const std::uint32_t ranges = record.Get32();
  if (record.Failed() || ranges > kMostRanges) return std::nullopt;
  for (std::uint32_t i = 0; i < ranges && !record.Failed(); ++i) {
    FileRange range;
    range.offset = record.Get64();
    const std::uint32_t count = record.Get32();
    const std::span<const BYTE> saved = record.Take(count);
    // A range that would reach past the file cannot have been read from it.
    if (count == 0 || !LiesInFile(range.offset, count, journal.file.length)) return std::nullopt;
    range.bytes.assign(saved.begin(), saved.end());
    journal.before.push_back(std::move(range));
  }
  if (!record.EndsWithChecksum()) return std::nullopt;
  return journal;
}

std::string JournalBeside(const std::string& path) { return path + ".kestrow-journal"; }

std::string JournalInStateFolder(const std::string& stateFolder, const FileIdentity& file) {
  return stateFolder + "/journals/" + std::to_string(file.device) + "-" + std::to_string(file.inode) + ".journal";
}
