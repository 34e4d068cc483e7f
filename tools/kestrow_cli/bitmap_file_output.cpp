#include "tools/kestrow_cli/bitmap_file_output.h"

#include <cstdint>
#include <vector>

#include "platform/file/file.h"
#include "platform/gdi/bitmap.h"
#include "platform/gdi/bitmap_file_24.h"
#include "platform/gdi/scoped_gdi.h"

std::string WritePixelsAsBitmapFile(const std::string& path, std::span<const DWORD> pixels, int width, int height) {
  static_assert(sizeof(DWORD) == sizeof(std::uint32_t));
  const std::span<const std::uint32_t> values(reinterpret_cast<const std::uint32_t*>(pixels.data()), pixels.size());
  kp::gdi::ScopedBitmap bitmap(kp::gdi::CreateBitmapFromPixels(width, height, 32, values));
  if (!bitmap) return "Unable to make a bitmap of " + std::to_string(width) + " x " + std::to_string(height);

  kp::gdi::ScopedMemoryDC memory(nullptr);
  if (!memory) return "Unable to create a memory device context";
  std::vector<BYTE> bytes;
  if (!kp::gdi::BuildBitmapFile24(memory.get(), bitmap.get(), width, height, bytes))
    return "Unable to retrieve bitmap from memory";

  CFile file;
  CFileException error;
  if (!file.Open(path.c_str(), CFile::modeCreate | CFile::modeWrite | CFile::shareExclusive | CFile::modeReplaceOnClose,
                 &error))
    return "Unable to open file " + path + " (" + error.ErrorMessage().str() + ")";
  try {
    file.Write(bytes.data(), static_cast<UINT>(bytes.size()));
    file.Close();
  } catch (const CFileException& e) {
    file.Abort();
    return e.ErrorMessage().str();
  }
  return {};
}
