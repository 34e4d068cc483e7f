#include <gtest/gtest.h>

#include <string>

#include "platform/registry/registry_api.h"
#include "platform/registry/registry_file_format.h"

namespace kp::registry {
namespace {
std::span<const BYTE> Bytes(const std::string& s) { return {reinterpret_cast<const BYTE*>(s.data()), s.size()}; }

bool Parse(const std::string& text, RegistryKey& root, std::string* error = nullptr) {
  return ParseRegistryFile(Bytes(text), root, error);
}

RegistryKey SampleTree() {
  RegistryKey root;
  RegistryKey& inproc = root.Child("CLSID").Child("{0B1C5D2E-1111-2222-3333-444455556666}").Child("InprocServer32");
  inproc.values[""] = RegistryValue{REG_SZ, "/opt/k\xC3\xA4strow/Tavlet.ocx", 0};
  inproc.values["ThreadingModel"] = RegistryValue{REG_SZ, "Apartment", 0};
  root.Child("CLSID").Child("{0B1C5D2E-1111-2222-3333-444455556666}").values[""] =
      RegistryValue{REG_SZ, "Tavlet Control", 0};
  // Names and data that need escaping.
  RegistryKey& odd = root.Child("we[ir]d%name\x01");
  odd.values["quote\"and\\back"] = RegistryValue{REG_SZ, "line\nbreak\ttab\x7f\"", 0};
  odd.values["Count"] = RegistryValue{REG_DWORD, "", 0xDEADBEEF};
  odd.Child("Empty");
  root.values["RootValue"] = RegistryValue{REG_SZ, "", 0};
  return root;
}

void ExpectSameTree(const RegistryKey& a, const RegistryKey& b) {
  ASSERT_EQ(a.values.size(), b.values.size());
  for (const auto& [name, value] : a.values) {
    auto it = b.values.find(name);
    ASSERT_NE(it, b.values.end()) << name;
    EXPECT_EQ(it->first, name);
    EXPECT_EQ(it->second, value) << name;
  }
  ASSERT_EQ(a.subkeys.size(), b.subkeys.size());
  for (const auto& [name, key] : a.subkeys) {
    auto it = b.subkeys.find(name);
    ASSERT_NE(it, b.subkeys.end()) << name;
    EXPECT_EQ(it->first, name);
    ExpectSameTree(*key, *it->second);
  }
}

TEST(RegistryFileFormat, RoundTripsNamesAndDataThatNeedEscaping) {
  RegistryKey tree = SampleTree();
  std::string text = FormatRegistryFile(tree);
  RegistryKey back;
  std::string error;
  ASSERT_TRUE(Parse(text, back, &error)) << error << "\n" << text;
  ExpectSameTree(tree, back);
  EXPECT_EQ(FormatRegistryFile(back), text);
}

TEST(RegistryFileFormat, IsReadableText) {
  std::string text = FormatRegistryFile(SampleTree());
  EXPECT_NE(text.find("[CLSID\\{0B1C5D2E-1111-2222-3333-444455556666}\\InprocServer32]\n"), std::string::npos);
  EXPECT_NE(text.find("\"ThreadingModel\"=\"Apartment\"\n"), std::string::npos);
  EXPECT_NE(text.find("@=\"Tavlet Control\"\n"), std::string::npos);
  EXPECT_NE(text.find("\"Count\"=dword:deadbeef\n"), std::string::npos);
  EXPECT_NE(text.find("[we%5bir%5dd%25name%01]\n"), std::string::npos);
  EXPECT_EQ(text.substr(0, 19), "kestrow-registry 1\n");
  EXPECT_EQ(text.substr(text.size() - 6), "end 6\n");
}

TEST(RegistryFileFormat, AnEmptyTreeIsHeaderAndTrailer) {
  RegistryKey empty;
  EXPECT_EQ(FormatRegistryFile(empty), "kestrow-registry 1\nend 0\n");
  RegistryKey back;
  EXPECT_TRUE(Parse("kestrow-registry 1\nend 0\n", back));
  EXPECT_TRUE(back.subkeys.empty());
}

TEST(RegistryFileFormat, EveryTruncationIsAnError) {
  std::string text = FormatRegistryFile(SampleTree());
  for (std::size_t length = 0; length < text.size(); ++length) {
    RegistryKey root;
    EXPECT_FALSE(Parse(text.substr(0, length), root)) << "cut at " << length;
  }
}

TEST(RegistryFileFormat, AcceptsCommentsBlankLinesAndCarriageReturns) {
  RegistryKey root;
  std::string error;
  EXPECT_TRUE(Parse("kestrow-registry 1\r\n; written by hand\n\n[A]\r\n@=\"x\"\nend 1\n", root, &error)) << error;
  EXPECT_EQ(root.Find("a")->values.at("").text, "x");
}

TEST(RegistryFileFormat, RejectsMalformedInputWithALineNumber) {
  struct Row {
    const char* what;
    const char* text;
  } rows[] = {
      {"no header", "[A]\nend 1\n"},
      {"wrong version", "kestrow-registry 2\nend 0\n"},
      {"value before key", "kestrow-registry 1\n@=\"x\"\nend 0\n"},
      {"count too low", "kestrow-registry 1\n[A]\n[B]\nend 1\n"},
      {"count too high", "kestrow-registry 1\n[A]\nend 2\n"},
      {"count not a number", "kestrow-registry 1\nend x\n"},
      {"text after end", "kestrow-registry 1\nend 0\n[A]\n"},
      {"key listed twice", "kestrow-registry 1\n[A]\n[a]\nend 2\n"},
      {"value listed twice", "kestrow-registry 1\n[A]\n\"v\"=\"1\"\n\"V\"=\"2\"\nend 1\n"},
      {"empty name in path", "kestrow-registry 1\n[A\\\\B]\nend 1\n"},
      {"unclosed key", "kestrow-registry 1\n[A\nend 1\n"},
      {"bad percent escape", "kestrow-registry 1\n[A%4]\nend 1\n"},
      {"escaped backslash in a name", "kestrow-registry 1\n[A%5cB]\nend 1\n"},
      {"raw bracket in key", "kestrow-registry 1\n[A]B]\nend 1\n"},
      {"unclosed string", "kestrow-registry 1\n[A]\n@=\"abc\nend 1\n"},
      {"unknown escape", "kestrow-registry 1\n[A]\n@=\"a\\qb\"\nend 1\n"},
      {"bad hex escape", "kestrow-registry 1\n[A]\n@=\"\\xZZ\"\nend 1\n"},
      {"short dword", "kestrow-registry 1\n[A]\n@=dword:123\nend 1\n"},
      {"unknown data", "kestrow-registry 1\n[A]\n@=hex:00\nend 1\n"},
      {"junk after data", "kestrow-registry 1\n[A]\n@=\"x\" y\nend 1\n"},
      {"missing equals", "kestrow-registry 1\n[A]\n\"v\" \"x\"\nend 1\n"},
      {"quoted empty name", "kestrow-registry 1\n[A]\n\"\"=\"x\"\nend 1\n"},
      {"raw tab in string", "kestrow-registry 1\n[A]\n@=\"a\tb\"\nend 1\n"},
      {"root listed twice", "kestrow-registry 1\n[]\n[]\nend 2\n"},
  };
  for (const Row& row : rows) {
    RegistryKey root;
    std::string error;
    EXPECT_FALSE(Parse(row.text, root, &error)) << row.what;
    EXPECT_EQ(error.rfind("line ", 0), 0u) << row.what << ": " << error;
  }
}

TEST(RegistryFileFormat, RejectsKeysDeeperThanWindowsAllows) {
  std::string deep = "kestrow-registry 1\n[";
  for (int i = 0; i < 600; ++i) deep += i ? "\\k" : "k";
  deep += "]\nend 1\n";
  RegistryKey root;
  EXPECT_FALSE(Parse(deep, root));
}
}  // namespace
}  // namespace kp::registry
