#pragma once
// The file operations of an in-place patch, of its recovery and of the patch
// history, through one seam. Every write, sync, rename and removal that
// decides whether a crash can lose the shapes file goes through here, so
// that a test can stop the work at any of them and model a power cut. The
// program's side is plain POSIX (PosixPatchFileSystem); failures throw
// CFileException with the cause and the path, so the user reads the
// framework's messages.

#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "platform/file/file.h"

// What tells one file from another, and its length.
struct FileIdentity {
  std::uint64_t device = 0;
  std::uint64_t inode = 0;
  std::uint64_t length = 0;
  bool operator==(const FileIdentity&) const = default;
};

// One open file. Closed when the object goes.
class PatchFile {
 public:
  virtual ~PatchFile();
  virtual const std::string& Path() const = 0;
  virtual FileIdentity Identity() = 0;
  // Reads exactly `count` bytes at `offset`; a short read throws endOfFile.
  virtual void ReadAt(std::uint64_t offset, void* data, std::size_t count) = 0;
  // Writes some of the bytes at `offset` and returns how many (at least
  // one); a failure throws. WriteAll loops over it.
  virtual std::size_t WriteAt(std::uint64_t offset, const void* data, std::size_t count) = 0;
  // Makes everything written so far durable (fsync).
  virtual void Sync() = 0;
  // Takes the exclusive lock that a patch holds (flock): false when another
  // open description holds a lock on the file. With `wait`, waits for it.
  virtual bool Lock(bool wait) = 0;

  // Writes all of the bytes; `written`, when given, counts those that were
  // written, also when a write throws part-way.
  void WriteAll(std::uint64_t offset, const void* data, std::size_t count, std::size_t* written = nullptr);
};

enum class PatchOpenMode {
  Read,             // an existing file, to read
  ReadWrite,        // an existing file, to read and write
  CreateNew,        // a new file, to write; one of that name already there fails
  CreateOrReplace,  // a file to write, new or emptied
};

class PatchFileSystem {
 public:
  virtual ~PatchFileSystem();
  virtual std::unique_ptr<PatchFile> Open(const std::string& path, PatchOpenMode mode) = 0;
  // The file's identity, or nothing when no file has that path.
  virtual std::optional<FileIdentity> Identify(const std::string& path) = 0;
  virtual void Remove(const std::string& path) = 0;
  // Replaces `to` with `from` in one step.
  virtual void Rename(const std::string& from, const std::string& to) = 0;
  // Makes the names in `folder` durable: a file made, renamed or removed
  // there survives a power cut only after this.
  virtual void SyncFolder(const std::string& folder) = 0;
  // Makes the folder and those above it that are missing, for this user only.
  virtual void MakeFolders(const std::string& folder) = 0;
  // The names of the files in `folder`; none when it is missing.
  virtual std::vector<std::string> List(const std::string& folder) = 0;
  // Whether this process may make and remove files in `folder`.
  virtual bool CanWriteIn(const std::string& folder) = 0;
};

// The file's bytes, or its first `most` bytes; nothing when it cannot be
// read. For Kestrow's own small files (journals, history), read whole.
std::optional<std::vector<BYTE>> ReadWholeFile(PatchFileSystem& files, const std::string& path,
                                               std::uint64_t most = UINT64_MAX);

// The program's file system.
PatchFileSystem& PosixPatchFileSystem();
// The file that `file` has open, for the seam's calls; `file` keeps it.
std::unique_ptr<PatchFile> BorrowOpenFile(const CFile& file);

// The folder of a path ("." for a bare name), and its last name.
std::string FolderOfPath(const std::string& path);
std::string NameOfPath(const std::string& path);

// Where Kestrow keeps what it knows of the files it patched:
// $XDG_STATE_HOME/kestrow, by default ~/.local/state/kestrow.
std::string KestrowStateFolder();

// The file system and the state folder that patches, recovery and history
// work in; the program's by default, a simulated disk in the crash tests.
struct PatchEnvironment {
  PatchFileSystem& files;
  std::string stateFolder;
};
PatchEnvironment DefaultPatchEnvironment();
