#include "platform/qt/drop_files.h"

#include <QString>
#include <QUrl>

#include <cstring>

#include "platform/base/handle_map.h"

namespace {
struct Drop {
  std::vector<std::string> files;
  POINT point;
};

kp::base::HandleMap<HDROP, Drop>& Table() {
  static kp::base::HandleMap<HDROP, Drop> table(0x5D000);
  return table;
}

// Appends code point `c` to `out` as UTF-8.
void AppendUtf8(std::string& out, char32_t c) {
  if (c < 0x80) {
    out += static_cast<char>(c);
  } else if (c < 0x800) {
    out += static_cast<char>(0xC0 | (c >> 6));
    out += static_cast<char>(0x80 | (c & 0x3F));
  } else if (c < 0x10000) {
    out += static_cast<char>(0xE0 | (c >> 12));
    out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (c & 0x3F));
  } else {
    out += static_cast<char>(0xF0 | (c >> 18));
    out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
    out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (c & 0x3F));
  }
}

// The UTF-16 (little-endian) paths from `at` on, until the empty one.
std::optional<std::vector<std::string>> WidePaths(std::span<const BYTE> block, std::size_t at) {
  std::vector<std::string> paths;
  std::string path;
  auto unitAt = [&](std::size_t i) { return static_cast<char16_t>(block[i] | block[i + 1] << 8); };
  for (; at + 1 < block.size(); at += 2) {
    const char16_t unit = unitAt(at);
    if (unit == 0) {
      if (path.empty()) return paths;
      paths.push_back(std::move(path));
      path.clear();
    } else if (unit >= 0xD800 && unit <= 0xDBFF) {
      // A pair of surrogates is one code point; half of one is no text.
      if (at + 3 >= block.size()) return std::nullopt;
      const char16_t low = unitAt(at + 2);
      if (low < 0xDC00 || low > 0xDFFF) return std::nullopt;
      AppendUtf8(path, 0x10000 + ((char32_t{unit} - 0xD800) << 10) + (char32_t{low} - 0xDC00));
      at += 2;
    } else if (unit >= 0xDC00 && unit <= 0xDFFF) {
      return std::nullopt;
    } else {
      AppendUtf8(path, unit);
    }
  }
  return std::nullopt;
}

// The 8-bit paths from `at` on, until the empty one.
std::optional<std::vector<std::string>> NarrowPaths(std::span<const BYTE> block, std::size_t at) {
  std::vector<std::string> paths;
  while (at < block.size()) {
    const auto* start = reinterpret_cast<const char*>(block.data() + at);
    const void* end = std::memchr(start, 0, block.size() - at);
    if (end == nullptr) return std::nullopt;
    const std::size_t length = static_cast<std::size_t>(static_cast<const char*>(end) - start);
    if (length == 0) return paths;
    paths.emplace_back(start, length);
    at += length + 1;
  }
  return std::nullopt;
}
}  // namespace

UINT DragQueryFile(HDROP hDrop, UINT iFile, LPTSTR lpszFile, UINT cch) {
  const Drop* drop = Table().Find(hDrop);
  if (drop == nullptr) return 0;
  if (iFile == 0xFFFFFFFF) return static_cast<UINT>(drop->files.size());
  if (iFile >= drop->files.size()) return 0;
  const std::string& path = drop->files[iFile];
  if (lpszFile == nullptr) return static_cast<UINT>(path.size());
  if (cch == 0) return 0;
  std::size_t n = std::min<std::size_t>(path.size(), cch - 1);
  std::memcpy(lpszFile, path.data(), n);
  lpszFile[n] = '\0';
  return static_cast<UINT>(n);
}

BOOL DragQueryPoint(HDROP hDrop, POINT* lppt) {
  const Drop* drop = Table().Find(hDrop);
  if (drop == nullptr || lppt == nullptr) return FALSE;
  *lppt = drop->point;
  return TRUE;
}

void DragFinish(HDROP hDrop) { Table().Remove(hDrop); }

namespace kp::qt {
HDROP CreateDropHandle(std::vector<std::string> files, POINT point) {
  return Table().Add(Drop{std::move(files), point});
}

std::size_t LiveDropCount() { return Table().Size(); }

std::optional<std::vector<std::string>> ParseDropFiles(std::span<const BYTE> block) {
  if (block.size() < sizeof(DROPFILES)) return std::nullopt;
  DROPFILES header;
  std::memcpy(&header, block.data(), sizeof header);
  if (header.pFiles < sizeof(DROPFILES) || header.pFiles >= block.size()) return std::nullopt;
  std::optional<std::vector<std::string>> paths =
      header.fWide ? WidePaths(block, header.pFiles) : NarrowPaths(block, header.pFiles);
  if (!paths || paths->empty()) return std::nullopt;
  return paths;
}

std::vector<std::string> LocalFilesFromUriList(std::string_view text) {
  std::vector<std::string> files;
  bool first = true;
  while (!text.empty()) {
    const std::size_t end = text.find('\n');
    std::string_view line = text.substr(0, end);
    text = end == std::string_view::npos ? std::string_view() : text.substr(end + 1);
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    // A file manager's list says first what the paste is to do.
    const bool verb = first && (line == "copy" || line == "cut");
    first = false;
    if (line.empty() || line.front() == '#' || verb) continue;
    const QUrl url(QString::fromUtf8(line.data(), static_cast<qsizetype>(line.size())), QUrl::StrictMode);
    if (!url.isValid() || !url.isLocalFile()) return {};
    const std::string path = url.toLocalFile().toStdString();
    if (path.empty()) return {};
    files.push_back(path);
  }
  return files;
}

}  // namespace kp::qt
