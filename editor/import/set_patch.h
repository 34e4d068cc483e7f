#pragma once
// Writing pictures back into a set of the shapes file, in place: each source
// bitmap is scaled to the set's image size, reduced to the set palette and
// written over the image's pixel bytes, and no other byte of the file. The
// editor's Patch takes the bitmaps from its slots; the command-line tool
// from bitmap files. No user interface here: each image's outcome is
// reported to the caller, and file errors propagate as CFileException.
//
// A patch is two steps: every picture of the set is converted, then every
// converted image is written, in place as one transaction
// (patch_transaction.h). The command-line tool takes the steps apart to
// convert the pictures of several sets before it writes any of them, into
// one transaction, or into a new file.

#include <functional>
#include <vector>

#include "editor/import/patch_transaction.h"
#include "editor/import/picture_reduction.h"
#include "platform/base/handles.h"
#include "platform/base/win_types.h"
#include "platform/file/file.h"

enum class PatchImageOutcome {
  Written,           // converted and written over the image's pixel bytes
  SkippedEmpty,      // no source bitmap: the file keeps its image
  ConversionFailed,  // the bitmap could not be converted: nothing written for it
  OutsideFile,       // the headers put the image's bytes outside the file: nothing written for it
};

struct PatchImageReport {
  int image;  // 0 to 29 for a texture set (the slot index), 0 for a landscape
  PatchImageOutcome outcome;
  LONGLONG position;  // where the headers put the pixel bytes; -1 when not looked up
};

// The bitmap that goes into image `image`, or null for none. The bitmap
// stays the caller's and must stay valid until PatchSetImages returns; it is
// selected into a memory DC while it is converted, so it must not be
// selected into another DC at the time.
using PatchSourceBitmap = std::function<HBITMAP(int image)>;
// Told of each image as soon as it is done, in image order.
using PatchReportSink = std::function<void(const PatchImageReport& report)>;

struct SetPatchResult {
  // False when the memory DC that holds each source could not be made; then
  // nothing was read or written.
  bool sourceDcCreated = false;
  LONG colourCount = 0;
  std::vector<PatchImageReport> images;  // every image of the set, in order
  PatchCommitted committed;              // the history entry of what was written
};

// One image of a set, converted and waiting to be written.
struct ConvertedImage {
  // What writing it will report: written when `indices` hold the image,
  // else why it will not be written.
  PatchImageReport report;
  std::vector<BYTE> indices;  // the image's pixel bytes, in the set's storage order
};

struct ConvertedSet {
  int setIndex = 0;
  // False when the memory DC that holds each source could not be made; then
  // nothing was read and there are no images.
  bool sourceDcCreated = false;
  LONG colourCount = 0;
  std::vector<ConvertedImage> images;  // every image of the set, in order
};

// The first step of PatchSetImages, writing nothing: the set palette, every
// image that has a source located, and every source converted by
// `reduction`. A header the file cannot hold throws CFileException before
// any picture is converted.
ConvertedSet ConvertSetImages(CFile& file, int setIndex, BOOL noGammaCorrection, const PatchSourceBitmap& sourceOf,
                              ColourReduction reduction = ColourReduction::NearestColour);

// The second step, in place: the bytes of each image whose report says
// written, as ranges for CommitPatch, and the set and its images in
// `subject` when there are any.
void AddSetWrites(const ConvertedSet& converted, std::vector<FileRange>& writes, PatchSubject& subject);

// The second step into a file of its own (a new file, not yet in place):
// writes each image whose report says written at its position, in image
// order, telling `report` of each image as it is done. Returns the reports.
// A failed write throws; images written before it stay written.
std::vector<PatchImageReport> WriteConvertedSet(CFile& file, const ConvertedSet& converted,
                                                const PatchReportSink& report = {});

// Patches set `setIndex` (0 to 7) of `file`, opened for reading and writing:
// ReadSetPalette of its header number (with the gamma curve unless
// `noGammaCorrection`), then for each image of the set (30 textures in
// column order, or 1 landscape in bottom-up rows) the bitmap of `sourceOf`
// converted with ConvertBitmapToPalette (its own size as the source size,
// else the image size) and written at the image's pixel position.
//
// Every image that will be written is located and converted, and `report`
// told of each image in order, before the first write, so a header the
// file cannot hold (CFileException) stops the patch with nothing written.
// An image whose pixel bytes would not lie wholly inside the file is not
// written and is reported as outsideFile. The images are written as one
// transaction and kept in the history: a failed write throws PatchFailure
// and leaves the file as it was. A set index outside 0 to 7 throws
// std::out_of_range.
SetPatchResult PatchSetImages(CFile& file, int setIndex, BOOL noGammaCorrection, const PatchSourceBitmap& sourceOf,
                              const PatchReportSink& report = {});
