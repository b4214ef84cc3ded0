#include "platform/win32/app_resources.h"

#include <span>

#include "platform/win32/utf16.h"
#include "platform/win32/version_block.h"

namespace platform::win32 {
namespace {

std::string LoadStringResource(HMODULE module, UINT id) {
  // With a zero buffer size LoadStringW hands out a pointer into the mapped resource itself.
  const wchar_t* text = nullptr;
  const int length = LoadStringW(module, id, reinterpret_cast<LPWSTR>(&text), 0);
  if (length <= 0 || text == nullptr) return {};
  return ToUtf8(std::wstring_view(text, static_cast<std::size_t>(length)));
}

// The version resource as mapped with the module: read in place, never written.
std::span<const std::byte> VersionResource(HMODULE module) {
  HRSRC found = FindResourceW(module, MAKEINTRESOURCEW(VS_VERSION_INFO), RT_VERSION);
  if (found == nullptr) return {};
  HGLOBAL loaded = LoadResource(module, found);
  const void* data = loaded != nullptr ? LockResource(loaded) : nullptr;
  if (data == nullptr) return {};
  return {static_cast<const std::byte*>(data), SizeofResource(module, found)};
}

std::string Utf8Of(const std::u16string& text) {
  return ToUtf8(std::wstring(text.begin(), text.end()));
}

}  // namespace

ResourceIdentity ReadResourceIdentity(HMODULE module) {
  ResourceIdentity identity;
  identity.title = LoadStringResource(module, 1);
  const VersionInfo version = ReadVersionInfo(VersionResource(module));
  identity.companyName = Utf8Of(version.companyName);
  identity.legalCopyright = Utf8Of(version.legalCopyright);
  identity.major = static_cast<std::int16_t>(version.major);
  identity.minor = static_cast<std::int16_t>(version.minor);
  identity.revision = static_cast<std::int16_t>(version.revision);
  return identity;
}

}  // namespace platform::win32
