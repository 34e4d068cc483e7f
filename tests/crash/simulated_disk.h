#pragma once
// A disk in memory behind the patch's file-system seam, that keeps apart
// what has reached the platters and what only the page cache holds, and can
// lose power at any write or sync:
//
// - file bytes become durable with Sync of the file; names made, renamed or
//   removed in a folder with SyncFolder of that folder;
// - every write, sync, rename, removal, creation and folder sync is a point
//   where the power may go: CutPowerAt(n) throws PowerCut at the n-th one,
//   before it happens, and the operations are recorded as they happen;
// - AfterPowerCut(model) is the disk as it comes back: what was synced, and
//   of the rest what the model lets through, in 512-byte sectors.
//
// File contents share the shapes file's bytes and keep only the pages
// written, shared between copies until one of them writes, so that
// thousands of crashes of a 10 MB file stay cheap.

#include <cstdint>
#include <map>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include "editor/import/patch_file_system.h"

namespace crash_tests {

constexpr std::uint64_t kSector = 512;

// The power went off: thrown through the patch, which must not catch it.
struct PowerCut {};

// How the writes that were not synced fare in a power cut.
enum class LossModel {
  AllLost,        // none of them reached the disk, nor did the names
  AllWritten,     // all of them did, and every name
  FirstHalf,      // the first half of their sectors, in the order written
  LastHalf,       // the last half: the disk reordered them
  EveryOther,     // every other sector
  GarbageInLast,  // all of them, but the last sector written holds garbage
  NamesLost,      // all of them, but none of the names made, renamed or removed
};
inline constexpr LossModel kLossModels[] = {LossModel::AllLost,  LossModel::AllWritten, LossModel::FirstHalf,
                                            LossModel::LastHalf, LossModel::EveryOther, LossModel::GarbageInLast,
                                            LossModel::NamesLost};
const char* LossModelName(LossModel model);

// The bytes of a file: a shared base, with the pages written kept apart.
class SectorContent {
 public:
  SectorContent() = default;
  explicit SectorContent(std::shared_ptr<const std::vector<BYTE>> base);
  std::uint64_t Length() const { return m_length; }
  void Read(std::uint64_t offset, BYTE* data, std::size_t count) const;
  void Write(std::uint64_t offset, const BYTE* data, std::size_t count);
  // Whether the content is `expected`, whose pages that differ from the
  // base are `differing`.
  bool Holds(const std::vector<BYTE>& expected, const std::vector<std::uint64_t>& differing) const;
  std::vector<BYTE> Bytes() const;

  static constexpr std::uint64_t kPage = 4096;

 private:
  using Page = std::vector<BYTE>;
  Page& Touch(std::uint64_t page);

  std::shared_ptr<const std::vector<BYTE>> m_base;
  std::map<std::uint64_t, std::shared_ptr<Page>> m_pages;
  std::uint64_t m_length = 0;
};

class SimulatedDisk : public PatchFileSystem {
 public:
  SimulatedDisk() = default;
  // A deep copy: the files are the copy's own.
  SimulatedDisk Clone() const;

  // A durable file and folder, as the disk holds them before the work.
  void AddFile(const std::string& path, std::shared_ptr<const std::vector<BYTE>> bytes);
  void AddFolder(const std::string& folder) { m_folders.insert(folder); }
  // A folder this process may not make files in, or a file it may not
  // write.
  void MakeReadOnly(const std::string& folder) { m_readOnly.insert(folder); }
  void MakeWritable(const std::string& folder) { m_readOnly.erase(folder); }
  // Everything durable, as after the machine ran on for a while; the
  // points count from here.
  void Settle();

  void CutPowerAt(int point) { m_cutAt = point; }
  int Points() const { return m_points; }
  const std::vector<std::string>& Log() const { return m_log; }
  SimulatedDisk AfterPowerCut(LossModel model) const;

  const SectorContent* Content(const std::string& path) const;

  std::unique_ptr<PatchFile> Open(const std::string& path, PatchOpenMode mode) override;
  std::optional<FileIdentity> Identify(const std::string& path) override;
  void Remove(const std::string& path) override;
  void Rename(const std::string& from, const std::string& to) override;
  void SyncFolder(const std::string& folder) override;
  void MakeFolders(const std::string& folder) override;
  std::vector<std::string> List(const std::string& folder) override;
  bool CanWriteIn(const std::string& folder) override;

  struct Inode;
  // Counts a point where the power may go, and records what happens there.
  void Point(const std::string& what);

 private:
  using Names = std::map<std::string, std::shared_ptr<Inode>>;
  static Names CopyNames(const Names& names, std::map<const Inode*, std::shared_ptr<Inode>>& copies);

  Names m_current;  // what the page cache shows
  Names m_durable;  // what a power cut leaves, but for the model's writes
  std::set<std::string> m_folders;
  std::set<std::string> m_readOnly;
  std::uint64_t m_nextInode = 1;
  int m_points = 0;
  int m_cutAt = -1;
  std::vector<std::string> m_log;
};

}  // namespace crash_tests
