#include "platform/win32/app_resources.h"

#include <cstdio>
#include <vector>

#include "platform/win32/utf16.h"

namespace platform::win32 {
namespace {

std::string LoadStringResource(HMODULE module, UINT id) {
  // With a zero buffer size LoadStringW hands out a pointer into the mapped resource itself.
  const wchar_t* text = nullptr;
  const int length = LoadStringW(module, id, reinterpret_cast<LPWSTR>(&text), 0);
  if (length <= 0 || text == nullptr) return {};
  return ToUtf8(std::wstring_view(text, static_cast<std::size_t>(length)));
}

// VerQueryValueW wants a writable copy of the version block, not the mapped resource.
std::vector<std::byte> CopyVersionBlock(HMODULE module) {
  HRSRC found = FindResourceW(module, MAKEINTRESOURCEW(VS_VERSION_INFO), RT_VERSION);
  if (found == nullptr) return {};
  HGLOBAL loaded = LoadResource(module, found);
  const void* data = loaded != nullptr ? LockResource(loaded) : nullptr;
  if (data == nullptr) return {};
  const auto* first = static_cast<const std::byte*>(data);
  return std::vector<std::byte>(first, first + SizeofResource(module, found));
}

std::string QueryString(std::vector<std::byte>& block, const std::wstring& translation,
                        const wchar_t* name) {
  const std::wstring key = L"\\StringFileInfo\\" + translation + L"\\" + name;
  wchar_t* value = nullptr;
  UINT length = 0;
  if (!VerQueryValueW(block.data(), key.c_str(), reinterpret_cast<void**>(&value), &length) ||
      value == nullptr || length == 0) {
    return {};
  }
  // The length counts the terminating NUL.
  return ToUtf8(std::wstring_view(value, length - 1));
}

// The first language and code page the block lists, as the "041104B0" its string table is
// named by.
std::wstring FirstTranslation(std::vector<std::byte>& block) {
  struct LanguageAndCodePage {
    WORD language;
    WORD codePage;
  };
  LanguageAndCodePage* pairs = nullptr;
  UINT size = 0;
  if (!VerQueryValueW(block.data(), L"\\VarFileInfo\\Translation", reinterpret_cast<void**>(&pairs),
                      &size) ||
      size < sizeof(LanguageAndCodePage)) {
    return {};
  }
  wchar_t name[9];
  std::swprintf(name, 9, L"%04X%04X", pairs[0].language, pairs[0].codePage);
  return name;
}

}  // namespace

ResourceIdentity ReadResourceIdentity(HMODULE module) {
  ResourceIdentity identity;
  identity.title = LoadStringResource(module, 1);
  std::vector<std::byte> block = CopyVersionBlock(module);
  if (block.empty()) return identity;

  VS_FIXEDFILEINFO* fixed = nullptr;
  UINT size = 0;
  if (VerQueryValueW(block.data(), L"\\", reinterpret_cast<void**>(&fixed), &size) &&
      fixed != nullptr && size >= sizeof(VS_FIXEDFILEINFO)) {
    identity.major = static_cast<std::int16_t>(HIWORD(fixed->dwFileVersionMS));
    identity.minor = static_cast<std::int16_t>(LOWORD(fixed->dwFileVersionMS));
    identity.revision = static_cast<std::int16_t>(HIWORD(fixed->dwFileVersionLS));
  }
  const std::wstring translation = FirstTranslation(block);
  if (!translation.empty()) {
    identity.companyName = QueryString(block, translation, L"CompanyName");
    identity.legalCopyright = QueryString(block, translation, L"LegalCopyright");
  }
  return identity;
}

}  // namespace platform::win32
