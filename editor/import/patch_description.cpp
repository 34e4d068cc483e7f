#include "editor/import/patch_description.h"

#include <charconv>
#include <string_view>

#include "editor/shapes/set_kinds.h"

namespace {

constexpr std::string_view kFirstLine = "Kestrow patch 1";

bool ParseNumber(std::string_view text, ULONGLONG& value) {
  const char* end = text.data() + text.size();
  const auto [stop, error] = std::from_chars(text.data(), end, value);
  return !text.empty() && error == std::errc() && stop == end;
}

int HexDigit(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  return -1;
}

bool ParseDigest(std::string_view text, kp::base::Sha256Digest& digest) {
  if (text.size() != 2 * digest.size()) return false;
  for (std::size_t i = 0; i < digest.size(); ++i) {
    const int high = HexDigit(text[2 * i]);
    const int low = HexDigit(text[2 * i + 1]);
    if (high < 0 || low < 0) return false;
    digest[i] = static_cast<std::uint8_t>(high * 16 + low);
  }
  return true;
}

// "image SET IMAGE BYTES", without the key.
bool ParseImage(std::string_view text, PatchedImage& image) {
  ULONGLONG numbers[3];
  for (ULONGLONG& number : numbers) {
    const std::size_t space = text.find(' ');
    if (!ParseNumber(text.substr(0, space), number)) return false;
    text = space == std::string_view::npos ? std::string_view() : text.substr(space + 1);
  }
  if (!text.empty() || numbers[0] < 1 || numbers[0] > kSetCount) return false;
  image.setIndex = static_cast<int>(numbers[0] - 1);
  const SetKind& kind = KindOfSet(image.setIndex);
  if (numbers[1] >= static_cast<ULONGLONG>(kind.imageCount)) return false;
  if (numbers[2] < 1 || numbers[2] > static_cast<ULONGLONG>(kind.ImageBytes())) return false;
  image.image = static_cast<int>(numbers[1]);
  image.changedBytes = numbers[2];
  return true;
}

}  // namespace

std::string FormatPatchDescription(const PatchDescription& description) {
  std::string text = std::string(kFirstLine) + "\n";
  text += "made-by " + description.madeBy + "\n";
  text += "source-length " + std::to_string(description.sourceLength) + "\n";
  text += "source-sha256 " + kp::base::DigestHex(description.sourceDigest) + "\n";
  for (const PatchedImage& image : description.images)
    text += "image " + std::to_string(image.setIndex + 1) + " " + std::to_string(image.image) + " " +
            std::to_string(image.changedBytes) + "\n";
  return text;
}

ParsedPatchDescription ParsePatchDescription(std::span<const BYTE> data) {
  const std::string_view text(reinterpret_cast<const char*>(data.data()), data.size());
  ParsedPatchDescription parsed;
  if (text.substr(0, kFirstLine.size() + 1) != std::string(kFirstLine) + "\n") return parsed;

  PatchDescription description;
  bool length = false;
  bool digest = false;
  std::size_t at = kFirstLine.size() + 1;
  while (at < text.size()) {
    const std::size_t end = text.find('\n', at);
    if (end == std::string_view::npos) {
      parsed.error = "its Kestrow description ends in the middle of a line";
      return parsed;
    }
    const std::string_view line = text.substr(at, end - at);
    at = end + 1;
    const std::size_t space = line.find(' ');
    const std::string_view key = line.substr(0, space);
    const std::string_view value = space == std::string_view::npos ? std::string_view() : line.substr(space + 1);
    bool ok = true;
    if (key == "made-by") {
      description.madeBy = value;
    } else if (key == "source-length") {
      ok = length = ParseNumber(value, description.sourceLength);
    } else if (key == "source-sha256") {
      ok = digest = ParseDigest(value, description.sourceDigest);
    } else if (key == "image") {
      ok = ParseImage(value, description.images.emplace_back());
    }
    if (!ok) {
      std::string shown(line.substr(0, 80));
      for (char& c : shown)
        if (static_cast<unsigned char>(c) < ' ' || static_cast<unsigned char>(c) > '~') c = '?';
      parsed.error = "its Kestrow description has a damaged line '" + shown + "'";
      return parsed;
    }
  }
  if (!length || !digest) {
    parsed.error = "its Kestrow description does not say which shapes file it was made from";
    return parsed;
  }
  parsed.description = std::move(description);
  return parsed;
}
