#pragma once
// The editor's own texts: what its commands show in message boxes and in
// the path box. The shapes file's open and size messages are in
// editor/shapes/shapes_file_open.h, shared with the command-line tool.

#include <string>

inline constexpr char kNoShapesFileText[] = "No Valid Shapes File Selected";
inline constexpr char kSelectShapesFileFirstMessage[] = "Select shapes file before using image finder";
inline constexpr char kSourceDcFailedMessage[] = "Unable to create source device context while converting bitmap";
inline constexpr char kTextureWriteFailedFormat[] = "Failed to write texture #%d <column %d, row %d>";
inline constexpr char kLandscapeWriteFailedMessage[] = "Failed to write landscape texture";
// A damaged header would put the image's bytes outside the file, so the
// image is not written; told in the words of the failures above.
inline constexpr char kTextureOutsideFileFormat[] =
    "Texture #%d <column %d, row %d> lies outside the shapes file and was not written";
inline constexpr char kLandscapeOutsideFileMessage[] =
    "Landscape texture lies outside the shapes file and was not written";
// A recent file that can no longer be read: the path and why, in the words
// the command line uses for a file it cannot use.
inline constexpr char kRecentFileUnusableFormat[] =
    "Cannot use %s as the shapes file (%s); it is taken off the recent files.";

// A patch that was written but could not be kept in the history, which
// Undo Last Patch then cannot reach.
inline std::string HistoryProblemMessage(const std::string& path, const std::string& problem) {
  return path + " was patched, but Undo Last Patch cannot undo it: " + problem;
}
