#pragma once
// Writes that fail part-way with a real error from the kernel. The work runs
// in a child process forked from the test, so the test program itself is
// never limited, and programs the work starts inherit the failure:
//
// - WithFileSizeLimit: RLIMIT_FSIZE with SIGXFSZ ignored. A write that would
//   reach past `bytes` into any file writes up to there, and the next one
//   fails with EFBIG. The limit is on offsets, so it also cuts writes in
//   place inside an existing file that is longer. A program's standard
//   output and error are files too: the limit must leave room for what it
//   prints.
// - OnSmallDisk: a tmpfs mounted over a folder, in a mount namespace of the
//   child's own, holding the folder's files and full but for `freeBytes`.
//   A write that needs more room fails with ENOSPC. Pages of zeros are
//   copied in as holes, as a sparse file holds them, so that writing over
//   them needs room too; every other byte of a file already has its room.
//
// The work returns lines of text (the messages it showed, what a program
// printed), which come back to the test. It runs in the child: it reports
// through its lines, never through the test framework's checks.

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "platform/base/win_types.h"
#include "platform/testing/file_contents.h"
#include "platform/testing/run_program.h"
#include "platform/testing/temp_environment.h"

namespace write_failures {

using ChildWork = std::function<std::vector<std::string>()>;

struct ChildOutcome {
  bool done = false;  // the work ran to its end and its lines came back
  std::vector<std::string> lines;
  std::string failure;  // when not done: what went wrong
};

ChildOutcome WithFileSizeLimit(std::uint64_t bytes, const ChildWork& work);

// Why no small disk can be made here, or empty when one can: mounting needs
// root (CAP_SYS_ADMIN) where mount namespaces are allowed, which a
// container may refuse.
const std::string& SmallDiskUnavailable();

// Afterwards `folder` holds what the tmpfs held at the end of the work, but
// for the filler that kept it full.
ChildOutcome OnSmallDisk(const std::string& folder, std::uint64_t freeBytes, const ChildWork& work);

// One of the two, for tables of cases.
struct WriteFailure {
  static WriteFailure SizeLimit(std::uint64_t bytes) { return {bytes, false, 0}; }
  static WriteFailure FullDisk(std::uint64_t freeBytes = 0) { return {0, true, freeBytes}; }
  std::uint64_t sizeLimit = 0;
  bool fullDisk = false;
  std::uint64_t freeBytes = 0;
};

// `folder` is the one a full disk is mounted over; a size limit leaves it.
ChildOutcome WithWritesFailing(const WriteFailure& failure, const std::string& folder, const ChildWork& work);

// A program run as RunProgram runs it, with its writes failing. When the
// child failed, the status is -1 and `err` says why.
kp::testing::ProgramRun RunWithWritesFailing(const WriteFailure& failure, const std::string& folder,
                                             const std::vector<std::string>& words,
                                             const kp::testing::ProgramOptions& options = {});

// The unit in which a full disk counts its room.
std::uint64_t DiskPageSize();

// What the tests look at afterwards: a new empty folder of the test
// program's, the names under a folder (files of subfolders as
// "sub/name"), and a file's bytes.
using kp::testing::NewFolder;
std::vector<std::string> Listing(const std::string& folder);
inline std::vector<BYTE> FileBytes(const std::string& path) { return kp::testing::ReadFileBytes(path); }

}  // namespace write_failures
