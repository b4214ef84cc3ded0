#include "platform/win32/version_block.h"

#include <algorithm>
#include <optional>

namespace platform::win32 {
namespace {

constexpr std::size_t kHeaderBytes = 6;  // the node's length, its value's length and its type
constexpr std::uint16_t kTextType = 1;   // the value's length counts UTF-16 units, not bytes
constexpr std::uint32_t kFixedInfoSignature = 0xFEEF04BD;
constexpr std::size_t kFixedInfoVersionEnd = 16;  // signature, structure version, file version

// Every node, value and child starts on a 32-bit boundary counted from the block's start.
std::size_t Aligned(std::size_t offset) { return (offset + 3) & ~std::size_t{3}; }

// A node: a key, a value, then its children, up to its end.
struct Node {
  std::u16string key;
  std::size_t valueAt = 0;
  std::size_t valueBytes = 0;
  std::size_t childrenAt = 0;
  std::size_t end = 0;
};

class Block {
 public:
  explicit Block(std::span<const std::byte> bytes) : bytes_(bytes) {}

  [[nodiscard]] std::size_t size() const { return bytes_.size(); }

  [[nodiscard]] std::uint16_t Word(std::size_t at) const {
    return static_cast<std::uint16_t>(std::to_integer<unsigned>(bytes_[at]) |
                                      (std::to_integer<unsigned>(bytes_[at + 1]) << 8U));
  }

  [[nodiscard]] std::uint32_t DoubleWord(std::size_t at) const {
    return Word(at) | (std::uint32_t{Word(at + 2)} << 16U);
  }

  // The node at `at`, when it lies wholly before `limit`.
  [[nodiscard]] std::optional<Node> NodeAt(std::size_t at, std::size_t limit) const {
    if (at > limit || limit - at < kHeaderBytes) return std::nullopt;
    const std::size_t length = Word(at);
    if (length < kHeaderBytes || length > limit - at) return std::nullopt;
    Node node;
    node.end = at + length;
    const std::size_t valueLength = Word(at + 2);
    const bool text = Word(at + 4) == kTextType;
    std::size_t cursor = at + kHeaderBytes;
    for (;; cursor += 2) {
      if (node.end - cursor < 2) return std::nullopt;  // the key has no terminator
      const auto unit = static_cast<char16_t>(Word(cursor));
      if (unit == u'\0') break;
      node.key.push_back(unit);
    }
    node.valueAt = std::min(Aligned(cursor + 2), node.end);
    node.valueBytes = std::min(text ? valueLength * 2 : valueLength, node.end - node.valueAt);
    node.childrenAt = std::min(Aligned(node.valueAt + node.valueBytes), node.end);
    return node;
  }

  // The node's children, in order, up to the first that does not fit.
  template <class Visit>
  void ForEachChild(const Node& parent, const Visit& visit) const {
    for (std::size_t at = parent.childrenAt; at < parent.end;) {
      const std::optional<Node> child = NodeAt(at, parent.end);
      if (!child) return;
      visit(*child);
      at = Aligned(child->end);
    }
  }

  // A text value, up to its terminator.
  [[nodiscard]] std::u16string Text(const Node& node) const {
    std::u16string text;
    for (std::size_t at = node.valueAt; node.valueAt + node.valueBytes - at >= 2; at += 2) {
      const auto unit = static_cast<char16_t>(Word(at));
      if (unit == u'\0') break;
      text.push_back(unit);
    }
    return text;
  }

 private:
  std::span<const std::byte> bytes_;
};

}  // namespace

VersionInfo ReadVersionInfo(std::span<const std::byte> bytes) {
  VersionInfo info;
  const Block block(bytes);
  const std::optional<Node> root = block.NodeAt(0, block.size());
  if (!root || root->key != u"VS_VERSION_INFO") return info;

  if (root->valueBytes >= kFixedInfoVersionEnd &&
      block.DoubleWord(root->valueAt) == kFixedInfoSignature) {
    info.major = block.Word(root->valueAt + 10);
    info.minor = block.Word(root->valueAt + 8);
    info.revision = block.Word(root->valueAt + 14);
  }
  block.ForEachChild(*root, [&](const Node& fileInfo) {
    if (fileInfo.key != u"StringFileInfo") return;
    const std::optional<Node> table = block.NodeAt(fileInfo.childrenAt, fileInfo.end);
    if (!table) return;
    block.ForEachChild(*table, [&](const Node& string) {
      if (string.key == u"CompanyName") info.companyName = block.Text(string);
      if (string.key == u"LegalCopyright") info.legalCopyright = block.Text(string);
    });
  });
  return info;
}

}  // namespace platform::win32
