// The version resource read without the system's version library: what the resource compiler
// writes, and damaged blocks that must never be read beyond their end.
#include "platform/win32/version_block.h"

#include <gtest/gtest.h>

#include <cstddef>
#include <string>
#include <vector>

namespace platform::win32 {
namespace {

using Bytes = std::vector<std::byte>;

void Put16(Bytes& out, unsigned value) {
  out.push_back(static_cast<std::byte>(value & 0xFFU));
  out.push_back(static_cast<std::byte>((value >> 8U) & 0xFFU));
}

void Put32(Bytes& out, unsigned value) {
  Put16(out, value & 0xFFFFU);
  Put16(out, value >> 16U);
}

Bytes Utf16(const std::u16string& text) {
  Bytes out;
  for (const char16_t unit : text) Put16(out, unit);
  Put16(out, 0);
  return out;
}

// A node as the resource compiler lays it out: header, key, value and children, each on a
// 32-bit boundary of the block.
struct Node {
  std::u16string key;
  Bytes value;
  bool text = false;
  std::vector<Node> children;

  void WriteTo(Bytes& out) const {
    while (out.size() % 4 != 0) out.push_back({});
    const std::size_t start = out.size();
    Put16(out, 0);
    Put16(out, static_cast<unsigned>(text ? value.size() / 2 : value.size()));
    Put16(out, text ? 1 : 0);
    const Bytes name = Utf16(key);
    out.insert(out.end(), name.begin(), name.end());
    while (out.size() % 4 != 0) out.push_back({});
    out.insert(out.end(), value.begin(), value.end());
    for (const Node& child : children) child.WriteTo(out);
    const std::size_t length = out.size() - start;
    out[start] = static_cast<std::byte>(length & 0xFFU);
    out[start + 1] = static_cast<std::byte>(length >> 8U);
  }
};

Node String(const std::u16string& key, const std::u16string& text) {
  return {key, Utf16(text), true, {}};
}

// Version 1.12.3.0, Japanese strings, as the program's resource script has them.
Bytes ResourceBlock() {
  Bytes fixed;
  for (const unsigned field : {0xFEEF04BDU, 0x00010000U, 0x0001000CU, 0x00030000U, 0x0001000CU,
                               0x00030000U, 0x3FU, 0U, 0x40004U, 1U, 0U, 0U, 0U}) {
    Put32(fixed, field);
  }
  Bytes translation;
  Put16(translation, 0x0411);
  Put16(translation, 1200);
  const Node root{u"VS_VERSION_INFO",
                  fixed,
                  false,
                  {{u"StringFileInfo",
                    {},
                    true,
                    {{u"041104B0",
                      {},
                      true,
                      {String(u"CompanyName", u"制作室"), String(u"FileVersion", u"1.12.3"),
                       String(u"LegalCopyright", u"(C) 2026  制作室")}}}},
                   {u"VarFileInfo", {}, true, {{u"Translation", translation, false, {}}}}}};
  Bytes block;
  root.WriteTo(block);
  return block;
}

TEST(VersionBlock, ReadsWhatTheResourceCompilerWrites) {
  const VersionInfo info = ReadVersionInfo(ResourceBlock());
  EXPECT_EQ(info.major, 1);
  EXPECT_EQ(info.minor, 12);
  EXPECT_EQ(info.revision, 3);
  EXPECT_TRUE(info.companyName == u"制作室");
  EXPECT_TRUE(info.legalCopyright == u"(C) 2026  制作室");
}

// Under the address sanitizer a read past the copy's end fails the test.
TEST(VersionBlock, NeverReadsBeyondADamagedBlock) {
  const Bytes whole = ResourceBlock();
  for (std::size_t size = 0; size < whole.size(); ++size) {
    const VersionInfo info = ReadVersionInfo(Bytes(whole.begin(), whole.begin() + size));
    EXPECT_EQ(info.major, 0) << "cut to " << size << " bytes, the root does not fit";
  }
  for (std::size_t at = 0; at + 1 < whole.size(); at += 2) {
    for (const unsigned word : {0x0000U, 0x0003U, 0xFFFFU}) {
      Bytes damaged = whole;
      damaged[at] = static_cast<std::byte>(word & 0xFFU);
      damaged[at + 1] = static_cast<std::byte>(word >> 8U);
      const VersionInfo info = ReadVersionInfo(damaged);
      // A damaged terminator lets the text run on to its value's end, never further.
      EXPECT_LE(info.legalCopyright.size(), 14U) << "word " << word << " at " << at;
    }
  }
}

}  // namespace
}  // namespace platform::win32
