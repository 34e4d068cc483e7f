#include "tests/crash/simulated_disk.h"

#include <algorithm>
#include <cerrno>

#include "editor/import/patch_journal.h"

namespace crash_tests {

const char* LossModelName(LossModel model) {
  static constexpr const char* kNames[] = {
      "unsynced writes lost", "unsynced writes all written", "first half of the sectors", "last half of the sectors",
      "every other sector",   "garbage in the last sector",  "unsynced names lost"};
  return kNames[static_cast<int>(model)];
}

// --- SectorContent ---------------------------------------------------------

SectorContent::SectorContent(std::shared_ptr<const std::vector<BYTE>> base)
    : m_base(std::move(base)), m_length(m_base ? m_base->size() : 0) {}

SectorContent::Page& SectorContent::Touch(std::uint64_t page) {
  std::shared_ptr<Page>& slot = m_pages[page];
  if (!slot) {
    slot = std::make_shared<Page>(kPage, 0);
    const std::uint64_t start = page * kPage;
    if (m_base && start < m_base->size())
      std::copy_n(m_base->begin() + static_cast<std::ptrdiff_t>(start),
                  std::min<std::uint64_t>(kPage, m_base->size() - start), slot->begin());
  } else if (slot.use_count() > 1) {
    // Shared with a copy of the content: written here only.
    slot = std::make_shared<Page>(*slot);
  }
  return *slot;
}

void SectorContent::Read(std::uint64_t offset, BYTE* data, std::size_t count) const {
  for (std::size_t done = 0; done < count;) {
    const std::uint64_t at = offset + done;
    const std::size_t n = static_cast<std::size_t>(std::min<std::uint64_t>(kPage - at % kPage, count - done));
    if (const auto found = m_pages.find(at / kPage); found != m_pages.end()) {
      std::copy_n(found->second->begin() + static_cast<std::ptrdiff_t>(at % kPage), n, data + done);
    } else {
      // The base, and zeros past its end.
      const std::size_t fromBase = m_base && at < m_base->size() ? std::min<std::size_t>(n, m_base->size() - at) : 0;
      if (fromBase > 0) std::copy_n(m_base->data() + at, fromBase, data + done);
      std::fill_n(data + done + fromBase, n - fromBase, BYTE{0});
    }
    done += n;
  }
}

void SectorContent::Write(std::uint64_t offset, const BYTE* data, std::size_t count) {
  for (std::size_t done = 0; done < count;) {
    const std::uint64_t at = offset + done;
    const std::size_t n = static_cast<std::size_t>(std::min<std::uint64_t>(kPage - at % kPage, count - done));
    std::copy_n(data + done, n, Touch(at / kPage).begin() + static_cast<std::ptrdiff_t>(at % kPage));
    done += n;
  }
  m_length = std::max(m_length, offset + count);
}

bool SectorContent::Holds(const std::vector<BYTE>& expected, const std::vector<std::uint64_t>& differing) const {
  if (m_length != expected.size()) return false;
  for (const auto& [page, bytes] : m_pages) {
    const std::uint64_t start = page * kPage;
    const std::uint64_t n = std::min<std::uint64_t>(kPage, m_length - start);
    if (!std::equal(bytes->begin(), bytes->begin() + static_cast<std::ptrdiff_t>(n),
                    expected.begin() + static_cast<std::ptrdiff_t>(start)))
      return false;
  }
  // Pages not written hold the base: right only where it is expected.
  return std::all_of(differing.begin(), differing.end(), [&](std::uint64_t p) { return m_pages.contains(p); });
}

std::vector<BYTE> SectorContent::Bytes() const {
  std::vector<BYTE> bytes(static_cast<std::size_t>(m_length));
  Read(0, bytes.data(), bytes.size());
  return bytes;
}

// --- the disk ----------------------------------------------------------------

struct SimulatedDisk::Inode {
  std::uint64_t number = 0;
  SectorContent durable;
  SectorContent current;
  std::vector<FileRange> pending;  // written since the last sync, in order
};

namespace {

[[noreturn]] void Fail(int cause, int error, const std::string& path) {
  throw CFileException(cause, error, path.c_str());
}

class SimulatedFile final : public PatchFile {
 public:
  SimulatedFile(SimulatedDisk& disk, std::shared_ptr<SimulatedDisk::Inode> inode, std::string path, bool writable)
      : m_disk(disk), m_inode(std::move(inode)), m_path(std::move(path)), m_writable(writable) {}

  const std::string& Path() const override { return m_path; }
  FileIdentity Identity() override { return {1, m_inode->number, m_inode->current.Length()}; }

  void ReadAt(std::uint64_t offset, void* data, std::size_t count) override {
    if (offset > m_inode->current.Length() || count > m_inode->current.Length() - offset)
      Fail(CFileException::endOfFile, 0, m_path);
    m_inode->current.Read(offset, static_cast<BYTE*>(data), count);
  }

  std::size_t WriteAt(std::uint64_t offset, const void* data, std::size_t count) override {
    if (!m_writable) Fail(CFileException::accessDenied, EBADF, m_path);
    m_disk.Point("write " + m_path + " " + std::to_string(offset) + " +" + std::to_string(count));
    const auto* bytes = static_cast<const BYTE*>(data);
    m_inode->current.Write(offset, bytes, count);
    m_inode->pending.push_back({offset, std::vector<BYTE>(bytes, bytes + count)});
    return count;
  }

  void Sync() override {
    m_disk.Point("sync " + m_path);
    m_inode->durable = m_inode->current;
    m_inode->pending.clear();
  }

  bool Lock(bool) override { return true; }

 private:
  SimulatedDisk& m_disk;
  std::shared_ptr<SimulatedDisk::Inode> m_inode;
  std::string m_path;
  bool m_writable;
};

// The pieces of the writes not yet synced, cut at sector boundaries.
struct Piece {
  std::uint64_t offset;
  const BYTE* bytes;
  std::size_t count;
};

std::vector<Piece> Pieces(const std::vector<FileRange>& pending) {
  std::vector<Piece> pieces;
  for (const FileRange& write : pending) {
    for (std::size_t done = 0; done < write.bytes.size();) {
      const std::uint64_t at = write.offset + done;
      const std::size_t n =
          static_cast<std::size_t>(std::min<std::uint64_t>(kSector - at % kSector, write.bytes.size() - done));
      pieces.push_back({at, write.bytes.data() + done, n});
      done += n;
    }
  }
  return pieces;
}

// What of `inode` a power cut leaves under `model`.
SectorContent Survivor(const SimulatedDisk::Inode& inode, LossModel model) {
  SectorContent content = inode.durable;
  const std::vector<Piece> pieces = Pieces(inode.pending);
  const std::size_t n = pieces.size();
  for (std::size_t i = 0; i < n; ++i) {
    const bool kept = model == LossModel::AllWritten || model == LossModel::GarbageInLast ||
                      model == LossModel::NamesLost || (model == LossModel::FirstHalf && i < (n + 1) / 2) ||
                      (model == LossModel::LastHalf && i >= (n + 1) / 2) ||
                      (model == LossModel::EveryOther && i % 2 == 0);
    if (kept) content.Write(pieces[i].offset, pieces[i].bytes, pieces[i].count);
  }
  if (model == LossModel::GarbageInLast && n > 0) {
    const std::uint64_t start = pieces.back().offset / kSector * kSector;
    const std::uint64_t end = std::max(content.Length(), pieces.back().offset + pieces.back().count);
    std::vector<BYTE> garbage(static_cast<std::size_t>(std::min(kSector, end - start)));
    for (std::size_t i = 0; i < garbage.size(); ++i) garbage[i] = static_cast<BYTE>(0xA5 ^ (i * 37));
    content.Write(start, garbage.data(), garbage.size());
  }
  return content;
}

}  // namespace

SimulatedDisk::Names SimulatedDisk::CopyNames(const Names& names,
                                              std::map<const Inode*, std::shared_ptr<Inode>>& copies) {
  Names copied;
  for (const auto& [path, inode] : names) {
    std::shared_ptr<Inode>& copy = copies[inode.get()];
    if (!copy) copy = std::make_shared<Inode>(*inode);
    copied[path] = copy;
  }
  return copied;
}

SimulatedDisk SimulatedDisk::Clone() const {
  SimulatedDisk clone;
  std::map<const Inode*, std::shared_ptr<Inode>> copies;
  clone.m_current = CopyNames(m_current, copies);
  clone.m_durable = CopyNames(m_durable, copies);
  clone.m_folders = m_folders;
  clone.m_readOnly = m_readOnly;
  clone.m_nextInode = m_nextInode;
  clone.m_points = m_points;
  return clone;
}

SimulatedDisk SimulatedDisk::AfterPowerCut(LossModel model) const {
  SimulatedDisk after;
  after.m_folders = m_folders;
  after.m_readOnly = m_readOnly;
  after.m_nextInode = m_nextInode;
  std::map<const Inode*, std::shared_ptr<Inode>> survivors;
  const bool namesLost = model == LossModel::AllLost || model == LossModel::NamesLost;
  for (const auto& [path, inode] : namesLost ? m_durable : m_current) {
    std::shared_ptr<Inode>& survivor = survivors[inode.get()];
    if (!survivor) {
      survivor = std::make_shared<Inode>();
      survivor->number = inode->number;
      survivor->durable = survivor->current = Survivor(*inode, model);
    }
    after.m_current[path] = after.m_durable[path] = survivor;
  }
  return after;
}

void SimulatedDisk::AddFile(const std::string& path, std::shared_ptr<const std::vector<BYTE>> bytes) {
  auto inode = std::make_shared<Inode>();
  inode->number = m_nextInode++;
  inode->durable = inode->current = SectorContent(std::move(bytes));
  m_current[path] = m_durable[path] = inode;
}

void SimulatedDisk::Settle() {
  for (auto& [path, inode] : m_current) {
    inode->durable = inode->current;
    inode->pending.clear();
  }
  m_durable = m_current;
  m_points = 0;
  m_log.clear();
}

const SectorContent* SimulatedDisk::Content(const std::string& path) const {
  const auto found = m_current.find(path);
  return found == m_current.end() ? nullptr : &found->second->current;
}

void SimulatedDisk::Point(const std::string& what) {
  m_log.push_back(what);
  if (++m_points == m_cutAt) throw PowerCut{};
}

std::unique_ptr<PatchFile> SimulatedDisk::Open(const std::string& path, PatchOpenMode mode) {
  if (mode == PatchOpenMode::Read || mode == PatchOpenMode::ReadWrite) {
    const auto found = m_current.find(path);
    if (found == m_current.end()) Fail(CFileException::fileNotFound, ENOENT, path);
    const bool writable = mode == PatchOpenMode::ReadWrite;
    if (writable && m_readOnly.contains(path)) Fail(CFileException::accessDenied, EACCES, path);
    return std::make_unique<SimulatedFile>(*this, found->second, path, writable);
  }
  if (!m_folders.contains(FolderOfPath(path))) Fail(CFileException::fileNotFound, ENOENT, path);
  if (m_readOnly.contains(FolderOfPath(path))) Fail(CFileException::accessDenied, EACCES, path);
  if (mode == PatchOpenMode::CreateNew && m_current.contains(path))
    Fail(CFileException::genericException, EEXIST, path);
  Point("create " + path);
  auto inode = std::make_shared<Inode>();
  inode->number = m_nextInode++;
  m_current[path] = inode;
  return std::make_unique<SimulatedFile>(*this, inode, path, true);
}

std::optional<FileIdentity> SimulatedDisk::Identify(const std::string& path) {
  const auto found = m_current.find(path);
  if (found == m_current.end()) return std::nullopt;
  return FileIdentity{1, found->second->number, found->second->current.Length()};
}

void SimulatedDisk::Remove(const std::string& path) {
  if (!m_current.contains(path)) Fail(CFileException::fileNotFound, ENOENT, path);
  Point("remove " + path);
  m_current.erase(path);
}

void SimulatedDisk::Rename(const std::string& from, const std::string& to) {
  if (!m_current.contains(from)) Fail(CFileException::fileNotFound, ENOENT, from);
  Point("rename " + from + " " + to);
  m_current[to] = m_current[from];
  m_current.erase(from);
}

void SimulatedDisk::SyncFolder(const std::string& folder) {
  Point("sync folder " + folder);
  std::erase_if(m_durable, [&](const auto& entry) { return FolderOfPath(entry.first) == folder; });
  for (const auto& [path, inode] : m_current)
    if (FolderOfPath(path) == folder) m_durable[path] = inode;
}

void SimulatedDisk::MakeFolders(const std::string& folder) {
  if (folder.empty() || folder == "/" || m_folders.contains(folder)) return;
  MakeFolders(FolderOfPath(folder));
  Point("make folder " + folder);
  m_folders.insert(folder);
}

std::vector<std::string> SimulatedDisk::List(const std::string& folder) {
  std::vector<std::string> names;
  for (const auto& [path, inode] : m_current)
    if (FolderOfPath(path) == folder) names.push_back(NameOfPath(path));
  return names;
}

bool SimulatedDisk::CanWriteIn(const std::string& folder) {
  return m_folders.contains(folder) && !m_readOnly.contains(folder);
}

}  // namespace crash_tests
