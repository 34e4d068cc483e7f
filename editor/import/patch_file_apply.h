#pragma once
// A patch file applied to a shapes file in place, as kestrow-cli apply and
// the editor's Apply Patch File... both do it: the file read whole, the
// patch decoded and checked against it, then its changes written as one
// transaction that the history keeps, so that undo takes it back.

#include <memory>
#include <span>
#include <string>
#include <vector>

#include "editor/import/patch_transaction.h"
#include "editor/import/shapes_layout.h"
#include "editor/import/shapes_patch.h"
#include "platform/base/win_types.h"
#include "platform/file/file.h"

// A shapes file read whole, with where its sets lie. The buffer is not
// filled with zeros before the file is read into it: for a file of 10 MB
// that costs about as much as decoding a small patch.
struct ShapesInMemory {
  std::unique_ptr<BYTE[]> buffer;
  std::size_t length = 0;
  ShapesLayout layout;

  std::span<BYTE> Bytes() { return {buffer.get(), length}; }
  std::span<const BYTE> Bytes() const { return {buffer.get(), length}; }
};

// Reads the open `file` whole, from its start, into `shapes` (not its
// layout). Throws CFileException, also when the file ends early.
void ReadWholeShapesFile(CFile& file, ShapesInMemory& shapes);

// Reads the patch file `path` whole, refusing one larger than a patch of a
// shapes file of `shapesLength` bytes can be. Returns why it cannot, or an
// empty string.
std::string ReadPatchFileBytes(const std::string& path, ULONGLONG shapesLength, std::vector<BYTE>& bytes);

// Decodes `patch` against `shapes` and checks that the result is a shapes
// file with the same headers. Throws PatchFileError.
DecodedPatch CheckShapesPatch(const ShapesInMemory& shapes, std::span<const BYTE> patch);

// "PATCH carries no checksum for some of what it makes: ..." for a patch of
// another program whose windows are not all checked, else empty.
std::string UncheckedPatchWarning(const DecodedPatch& decoded, const std::string& patchPath);

// "Cannot apply PATCH to SHAPES: REASON; nothing written".
std::string CannotApplyText(const std::string& patchPath, const std::string& shapesPath, const std::string& reason);

// The sets a change touches, and in them the images whose pixels change, as
// the history keeps them.
std::vector<PatchedSet> PatchedSetsOf(const ChangeSummary& summary);

// Writes the changes of `decoded` into `shapes`, the open file they were
// decoded against, as one transaction kept in the history as an applied
// patch file. Throws PatchFailure as CommitPatch does.
PatchCommitted CommitDecodedPatch(CFile& shapes, const DecodedPatch& decoded);
