#include "editor/import/patch_history.h"

#include <algorithm>
#include <charconv>
#include <ctime>
#include <filesystem>

#include "editor/import/record_bytes.h"
#include "editor/shapes/set_kinds.h"

namespace {

constexpr std::string_view kIndexHeader = "kestrow patch history 1";
constexpr std::string_view kEntryHeader = "kestrow patch history entry 1";
constexpr std::uint32_t kMostRanges = 1 << 20;
constexpr char kHex[] = "0123456789abcdef";

std::string HistoryFolder(const PatchEnvironment& env) { return env.stateFolder + "/history"; }
std::string EntryPath(const PatchEnvironment& env, std::uint64_t id) {
  return HistoryFolder(env) + "/" + std::to_string(id) + ".entry";
}

std::string Escape(std::string_view text) {
  std::string escaped;
  for (char c : text) {
    const auto byte = static_cast<unsigned char>(c);
    if (byte > 0x20 && byte < 0x7F && c != '%') {
      escaped += c;
    } else {
      escaped += '%';
      escaped += kHex[byte >> 4];
      escaped += kHex[byte & 0xF];
    }
  }
  return escaped;
}

int HexValue(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

std::optional<std::string> Unescape(std::string_view text) {
  std::string plain;
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] != '%') {
      plain += text[i];
      continue;
    }
    if (i + 2 >= text.size()) return std::nullopt;
    const int high = HexValue(text[i + 1]);
    const int low = HexValue(text[i + 2]);
    if (high < 0 || low < 0) return std::nullopt;
    plain += static_cast<char>(high << 4 | low);
    i += 2;
  }
  return plain;
}

template <typename Number>
std::optional<Number> ParseNumber(std::string_view text, int base = 10) {
  Number value{};
  const char* end = text.data() + text.size();
  const auto [stop, error] = std::from_chars(text.data(), end, value, base);
  if (text.empty() || error != std::errc() || stop != end) return std::nullopt;
  return value;
}

// Splits "a,b,c" into its items; "-" is the empty list.
std::vector<std::string_view> Items(std::string_view text) {
  std::vector<std::string_view> items;
  if (text == "-") return items;
  std::size_t start = 0;
  while (true) {
    const std::size_t comma = text.find(',', start);
    items.push_back(text.substr(start, comma - start));
    if (comma == std::string_view::npos) return items;
    start = comma + 1;
  }
}

std::string Joined(const std::vector<std::string>& items) {
  if (items.empty()) return "-";
  std::string text;
  for (const std::string& item : items) text += (text.empty() ? "" : ",") + item;
  return text;
}

std::string FormatLine(const HistoryEntry& entry) {
  std::vector<std::string> undoes;
  for (std::uint64_t id : entry.undoes) undoes.push_back(std::to_string(id));
  std::vector<std::string> sets;
  for (const PatchedSet& set : entry.sets) {
    char text[32];
    std::snprintf(text, sizeof text, "%d:%x", set.setIndex, set.images);
    sets.push_back(text);
  }
  return "id=" + std::to_string(entry.id) + " time=" + std::to_string(entry.time) +
         " kind=" + PatchKindName(entry.kind) + " undoes=" + Joined(undoes) +
         " device=" + std::to_string(entry.file.device) + " inode=" + std::to_string(entry.file.inode) +
         " length=" + std::to_string(entry.file.length) + " bytes=" + std::to_string(entry.bytes) +
         " written=" + kp::base::DigestHex(entry.written) + " sets=" + Joined(sets) + " path=" + Escape(entry.path);
}

// What one field of a line sets; false when its value is not one.
using FieldParser = bool (*)(std::string_view value, HistoryEntry& entry);

template <auto Member>
bool ParseUnsigned(std::string_view value, HistoryEntry& entry) {
  const auto number = ParseNumber<std::uint64_t>(value);
  if (number) entry.*Member = *number;
  return number.has_value();
}

template <auto Member>
bool ParseIdentity(std::string_view value, HistoryEntry& entry) {
  const auto number = ParseNumber<std::uint64_t>(value);
  if (number) entry.file.*Member = *number;
  return number.has_value();
}

bool ParseTime(std::string_view value, HistoryEntry& entry) {
  const auto time = ParseNumber<std::int64_t>(value);
  if (time) entry.time = *time;
  return time.has_value();
}

bool ParseKind(std::string_view value, HistoryEntry& entry) {
  for (const PatchKind kind : {PatchKind::Patch, PatchKind::Undo, PatchKind::Apply}) {
    if (value != PatchKindName(kind)) continue;
    entry.kind = kind;
    return true;
  }
  return false;
}

bool ParseUndoes(std::string_view value, HistoryEntry& entry) {
  for (std::string_view item : Items(value)) {
    const auto id = ParseNumber<std::uint64_t>(item);
    if (!id) return false;
    entry.undoes.push_back(*id);
  }
  return true;
}

bool ParseWritten(std::string_view value, HistoryEntry& entry) {
  if (value.size() != 2 * entry.written.size()) return false;
  for (std::size_t i = 0; i < entry.written.size(); ++i) {
    const int high = HexValue(value[2 * i]);
    const int low = HexValue(value[2 * i + 1]);
    if (high < 0 || low < 0) return false;
    entry.written[i] = static_cast<BYTE>(high << 4 | low);
  }
  return true;
}

bool ParseSets(std::string_view value, HistoryEntry& entry) {
  for (std::string_view item : Items(value)) {
    const std::size_t colon = item.find(':');
    if (colon == std::string_view::npos) return false;
    const auto set = ParseNumber<int>(item.substr(0, colon));
    const auto images = ParseNumber<std::uint32_t>(item.substr(colon + 1), 16);
    if (!set || !images || *set < 0 || *set >= kSetCount) return false;
    entry.sets.push_back({*set, *images});
  }
  return true;
}

bool ParsePath(std::string_view value, HistoryEntry& entry) {
  std::optional<std::string> path = Unescape(value);
  if (path) entry.path = std::move(*path);
  return path.has_value() && !entry.path.empty();
}

struct Field {
  std::string_view key;
  FieldParser parse;
};
constexpr Field kFields[] = {
    {"id", &ParseUnsigned<&HistoryEntry::id>},
    {"time", &ParseTime},
    {"kind", &ParseKind},
    {"undoes", &ParseUndoes},
    {"device", &ParseIdentity<&FileIdentity::device>},
    {"inode", &ParseIdentity<&FileIdentity::inode>},
    {"length", &ParseIdentity<&FileIdentity::length>},
    {"bytes", &ParseUnsigned<&HistoryEntry::bytes>},
    {"written", &ParseWritten},
    {"sets", &ParseSets},
    {"path", &ParsePath},
};

// Every field of kFields exactly once; other keys are skipped.
std::optional<HistoryEntry> ParseLine(std::string_view line) {
  HistoryEntry entry;
  std::uint32_t seen = 0;
  std::size_t start = 0;
  while (start <= line.size()) {
    const std::size_t space = std::min(line.find(' ', start), line.size());
    const std::string_view token = line.substr(start, space - start);
    const std::size_t equals = token.find('=');
    if (equals == std::string_view::npos || equals == 0) return std::nullopt;
    for (std::size_t i = 0; i < std::size(kFields); ++i) {
      if (kFields[i].key != token.substr(0, equals)) continue;
      if ((seen & (1u << i)) != 0 || !kFields[i].parse(token.substr(equals + 1), entry)) return std::nullopt;
      seen |= 1u << i;
    }
    start = space + 1;
  }
  if (seen != (1u << std::size(kFields)) - 1) return std::nullopt;
  return entry;
}

// The index line that the bytes of an entry begin with, under its header,
// and where the binary part after it starts.
std::optional<std::pair<HistoryEntry, std::size_t>> ParseEntryLine(std::span<const BYTE> bytes) {
  const std::string_view text(reinterpret_cast<const char*>(bytes.data()), bytes.size());
  const std::size_t headerEnd = text.find('\n');
  if (headerEnd == std::string_view::npos || text.substr(0, headerEnd) != kEntryHeader) return std::nullopt;
  const std::size_t lineEnd = text.find('\n', headerEnd + 1);
  if (lineEnd == std::string_view::npos) return std::nullopt;
  std::optional<HistoryEntry> entry = ParseLine(text.substr(headerEnd + 1, lineEnd - headerEnd - 1));
  if (!entry) return std::nullopt;
  return std::make_pair(std::move(*entry), lineEnd + 1);
}

// The index line an entry begins with; what follows it is checked when the
// entry is read for its bytes.
std::optional<HistoryEntry> ReadEntryLine(PatchFileSystem& files, const std::string& path) {
  // Room for the longest line: its fields and a path of 4096 bytes escaped.
  constexpr std::uint64_t kMostHeaderBytes = 16 << 10;
  const auto bytes = ReadWholeFile(files, path, kMostHeaderBytes);
  if (!bytes) return std::nullopt;
  auto line = ParseEntryLine(*bytes);
  if (!line) return std::nullopt;
  return std::move(line->first);
}

void WriteWholeFile(PatchFileSystem& files, const std::string& path, std::span<const BYTE> bytes) {
  files.Open(path, PatchOpenMode::CreateOrReplace)->WriteAll(0, bytes.data(), bytes.size());
}

// The index, or when it is missing or damaged, the entries' own lines.
std::vector<HistoryEntry> LoadIndex(const PatchEnvironment& env) {
  const std::string folder = HistoryFolder(env);
  if (const auto bytes = ReadWholeFile(env.files, folder + "/index")) {
    if (auto entries = ParseHistoryIndex({reinterpret_cast<const char*>(bytes->data()), bytes->size()}))
      return std::move(*entries);
  }
  std::vector<HistoryEntry> entries;
  for (const std::string& name : env.files.List(folder)) {
    if (!name.ends_with(".entry")) continue;
    if (auto entry = ReadEntryLine(env.files, folder + "/" + name)) entries.push_back(std::move(*entry));
  }
  std::sort(entries.begin(), entries.end(), [](const auto& a, const auto& b) { return a.id < b.id; });
  return entries;
}

bool SameFile(const FileIdentity& a, const FileIdentity& b) { return a.device == b.device && a.inode == b.inode; }

// Drops the oldest entries that the bound no longer keeps; returns their ids.
std::vector<std::uint64_t> Prune(std::vector<HistoryEntry>& entries, const FileIdentity& file) {
  std::vector<std::uint64_t> dropped;
  auto drop = [&](std::vector<HistoryEntry>::iterator at) {
    dropped.push_back(at->id);
    entries.erase(at);
  };
  auto ofFile = std::count_if(entries.begin(), entries.end(), [&](const auto& e) { return SameFile(e.file, file); });
  for (; ofFile > static_cast<std::ptrdiff_t>(kHistoryEntriesPerFile); --ofFile)
    drop(std::find_if(entries.begin(), entries.end(), [&](const auto& e) { return SameFile(e.file, file); }));
  std::uint64_t bytes = 0;
  for (const HistoryEntry& entry : entries) bytes += entry.bytes;
  // The newest entry stays, whatever its size.
  while (bytes > kHistoryBytes && entries.size() > 1) {
    bytes -= entries.front().bytes;
    drop(entries.begin());
  }
  return dropped;
}

}  // namespace

const char* PatchKindName(PatchKind kind) {
  switch (kind) {
    case PatchKind::Undo: return "undo";
    case PatchKind::Apply: return "apply";
    case PatchKind::Patch: break;
  }
  return "patch";
}

void AddPatchedSet(std::vector<PatchedSet>& sets, const PatchedSet& set) {
  const auto at = std::lower_bound(sets.begin(), sets.end(), set.setIndex,
                                   [](const PatchedSet& s, int setIndex) { return s.setIndex < setIndex; });
  if (at != sets.end() && at->setIndex == set.setIndex)
    at->images |= set.images;
  else
    sets.insert(at, set);
}

std::string FormatHistoryIndex(std::span<const HistoryEntry> entries) {
  std::string text = std::string(kIndexHeader) + "\n";
  for (const HistoryEntry& entry : entries) text += FormatLine(entry) + "\n";
  return text;
}

std::optional<std::vector<HistoryEntry>> ParseHistoryIndex(std::string_view text) {
  if (!text.ends_with('\n')) return std::nullopt;
  std::vector<HistoryEntry> entries;
  std::size_t start = 0;
  bool first = true;
  while (start < text.size()) {
    const std::size_t end = text.find('\n', start);
    const std::string_view line = text.substr(start, end - start);
    start = end + 1;
    if (first) {
      if (line != kIndexHeader) return std::nullopt;
      first = false;
      continue;
    }
    std::optional<HistoryEntry> entry = ParseLine(line);
    // Ids rise from line to line; anything else is damage.
    if (!entry || (!entries.empty() && entry->id <= entries.back().id)) return std::nullopt;
    entries.push_back(std::move(*entry));
  }
  if (first) return std::nullopt;
  return entries;
}

std::vector<BYTE> EncodeHistoryEntry(const HistoryEntry& entry, std::span<const FileRange> before) {
  RecordWriter record;
  const std::string text = std::string(kEntryHeader) + "\n" + FormatLine(entry) + "\n";
  record.PutBytes({reinterpret_cast<const BYTE*>(text.data()), text.size()});
  record.Put32(static_cast<std::uint32_t>(before.size()));
  for (const FileRange& range : before) {
    record.Put64(range.offset);
    record.Put32(static_cast<std::uint32_t>(range.bytes.size()));
    record.PutBytes(range.bytes);
  }
  record.PutChecksum();
  return std::move(record.Bytes());
}

std::optional<std::pair<HistoryEntry, std::vector<FileRange>>> DecodeHistoryEntry(std::span<const BYTE> bytes) {
  auto line = ParseEntryLine(bytes);
  if (!line) return std::nullopt;
  HistoryEntry& entry = line->first;

  RecordReader record(bytes);
  record.Take(line->second);
  const std::uint32_t count = record.Get32();
  if (record.Failed() || count > kMostRanges) return std::nullopt;
  std::vector<FileRange> before;
  std::uint64_t total = 0;
  for (std::uint32_t i = 0; i < count && !record.Failed(); ++i) {
    FileRange range;
    range.offset = record.Get64();
    const std::span<const BYTE> saved = record.Take(record.Get32());
    range.bytes.assign(saved.begin(), saved.end());
    total += range.bytes.size();
    before.push_back(std::move(range));
  }
  if (!record.EndsWithChecksum() || total != entry.bytes) return std::nullopt;
  return std::make_pair(std::move(entry), std::move(before));
}

std::vector<HistoryEntry> ListHistory(const PatchEnvironment& env, const std::string& path, const FileIdentity& file) {
  const std::string kept = HistoryPath(path);
  std::vector<HistoryEntry> entries;
  for (HistoryEntry& entry : LoadIndex(env))
    if (entry.file.inode == file.inode && entry.path == kept) entries.push_back(std::move(entry));
  std::reverse(entries.begin(), entries.end());
  return entries;
}

std::optional<std::vector<FileRange>> ReadHistoryBefore(const PatchEnvironment& env, const HistoryEntry& entry) {
  const auto bytes = ReadWholeFile(env.files, EntryPath(env, entry.id));
  if (!bytes) return std::nullopt;
  auto decoded = DecodeHistoryEntry(*bytes);
  // The entry file must be the one the index describes.
  if (!decoded || !(decoded->first == entry)) return std::nullopt;
  return std::move(decoded->second);
}

HistoryEntry AppendHistoryEntry(const PatchEnvironment& env, HistoryEntry entry, std::span<const FileRange> before) {
  const std::string folder = HistoryFolder(env);
  env.files.MakeFolders(folder);
  // One writer of the index at a time; readers see the old index or the new.
  const std::unique_ptr<PatchFile> lock = env.files.Open(folder + "/lock", PatchOpenMode::CreateOrReplace);
  lock->Lock(true);

  std::vector<HistoryEntry> entries = LoadIndex(env);
  entry.id = entries.empty() ? 1 : entries.back().id + 1;
  entry.path = HistoryPath(entry.path);
  entry.bytes = 0;
  for (const FileRange& range : before) entry.bytes += range.bytes.size();
  WriteWholeFile(env.files, EntryPath(env, entry.id), EncodeHistoryEntry(entry, before));

  entries.push_back(entry);
  const std::vector<std::uint64_t> dropped = Prune(entries, entry.file);
  const std::string index = FormatHistoryIndex(entries);
  WriteWholeFile(env.files, folder + "/index.new", {reinterpret_cast<const BYTE*>(index.data()), index.size()});
  env.files.Rename(folder + "/index.new", folder + "/index");
  for (std::uint64_t id : dropped) {
    try {
      env.files.Remove(EntryPath(env, id));
    } catch (const CFileException&) {
      // An entry no index names is never read; its file only takes room.
    }
  }
  return entry;
}

std::string HistoryPath(const std::string& path) {
  std::error_code error;
  const std::filesystem::path absolute = std::filesystem::absolute(path, error);
  return (error ? std::filesystem::path(path) : absolute).lexically_normal().string();
}

std::string LocalTimeText(std::int64_t time) {
  const std::time_t when = static_cast<std::time_t>(time);
  std::tm local{};
  char text[32] = "";
  if (::localtime_r(&when, &local) != nullptr) std::strftime(text, sizeof text, "%Y-%m-%d %H:%M:%S", &local);
  return text;
}

std::string SetsText(std::span<const PatchedSet> sets) {
  if (sets.size() > 2) return std::to_string(sets.size()) + " sets";
  std::string text;
  for (const PatchedSet& set : sets)
    text += (text.empty() ? "" : " and ") + std::string(kSetListStrings.at(static_cast<std::size_t>(set.setIndex)));
  return text;
}
