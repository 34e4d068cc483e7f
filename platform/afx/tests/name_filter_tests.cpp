#include <gtest/gtest.h>

#include "platform/afx/file_dialog.h"
#include "platform/qt/name_filter.h"

namespace {

TEST(NameFilter, FrameworkFiltersBecomeQtFilters) {
  struct Row {
    const char* framework;
    std::vector<std::string> qt;
  } rows[] = {
      {"Shapes Files (*.shp2)|*.shp2|All Files (*.*)|*.*||", {"Shapes Files (*.shp2)", "All Files (*)"}},
      {"Windows Bitmap Files (*.bmp) | *.bmp", {"Windows Bitmap Files (*.bmp)"}},
      {"Pictures|*.bmp;*.dib||", {"Pictures (*.bmp *.dib)"}},
      {"", {}},
  };
  for (const Row& row : rows) {
    std::vector<std::string> converted;
    for (const auto& filter : kp::afx::ParseFileFilter(row.framework))
      converted.push_back(kp::qt::ToQtNameFilter(filter));
    EXPECT_EQ(converted, row.qt) << row.framework;
  }
}

}  // namespace
