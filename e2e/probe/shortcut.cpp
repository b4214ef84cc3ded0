#include "shortcut.h"

#include <objbase.h>
#include <shlobj.h>
#include <windows.h>

#include <memory>

#include "utf8_output.h"

namespace probe {
namespace {

struct Releaser {
  void operator()(IUnknown* object) const { object->Release(); }
};
template <class Interface>
using Owned = std::unique_ptr<Interface, Releaser>;

// With COM initialised; the objects go before COM does.
bool ReadShortcut(const std::wstring& path) {
  IShellLinkW* raw_link = nullptr;
  if (FAILED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER,
                              IID_PPV_ARGS(&raw_link)))) {
    return false;
  }
  const Owned<IShellLinkW> link(raw_link);
  IPersistFile* raw_file = nullptr;
  if (FAILED(link->QueryInterface(IID_PPV_ARGS(&raw_file)))) return false;
  const Owned<IPersistFile> file(raw_file);
  wchar_t target[MAX_PATH] = {};
  wchar_t arguments[INFOTIPSIZE] = {};
  if (FAILED(file->Load(path.c_str(), STGM_READ)) ||
      FAILED(link->GetPath(target, MAX_PATH, nullptr, SLGP_RAWPATH)) ||
      FAILED(link->GetArguments(arguments, INFOTIPSIZE))) {
    return false;
  }
  WriteLine({target});
  WriteLine({arguments});
  return true;
}

}  // namespace

bool AnswerShortcut(const std::wstring& path) {
  if (FAILED(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED))) return false;
  const bool answered = ReadShortcut(path);
  CoUninitialize();
  return answered;
}

}  // namespace probe
