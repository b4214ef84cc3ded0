// probe taskbar | windows | processes | values <key under HKEY_CURRENT_USER> |
//       machine-values <key under HKEY_LOCAL_MACHINE> | shortcut <path of a .lnk> |
//       folder <image name> | fault <image name> | resources <image name> |
//       metafile <path> [wmf] | hold | display <width> <height>
#include <string>
#include <string_view>

#include "answers.h"
#include "display_size.h"
#include "metafile.h"
#include "process_resources.h"
#include "remote_fault.h"
#include "shortcut.h"

int wmain(int argc, wchar_t** argv) {
  if (argc == 3 && std::wstring_view(argv[1]) == L"values") {
    return probe::AnswerValues(HKEY_CURRENT_USER, argv[2]) ? 0 : 1;
  }
  if (argc == 3 && std::wstring_view(argv[1]) == L"machine-values") {
    return probe::AnswerValues(HKEY_LOCAL_MACHINE, argv[2]) ? 0 : 1;
  }
  if (argc == 3 && std::wstring_view(argv[1]) == L"shortcut") {
    return probe::AnswerShortcut(argv[2]) ? 0 : 1;
  }
  if (argc == 3 && std::wstring_view(argv[1]) == L"folder") {
    probe::AnswerWorkingFolder(argv[2]);
    return 0;
  }
  if (argc == 3 && std::wstring_view(argv[1]) == L"resources") {
    probe::AnswerResources(argv[2]);
    return 0;
  }
  if (argc == 3 && std::wstring_view(argv[1]) == L"fault") {
    probe::StartFaultingThread(argv[2]);
    return 0;
  }
  if ((argc == 3 || argc == 4) && std::wstring_view(argv[1]) == L"metafile") {
    const bool placeable = argc == 4 && std::wstring_view(argv[3]) == L"wmf";
    return probe::MakeMetafile(
               argv[2], placeable ? probe::MetafileKind::Placeable : probe::MetafileKind::Enhanced)
               ? 0
               : 1;
  }
  if (argc == 4 && std::wstring_view(argv[1]) == L"display") {
    return probe::SetDisplaySize(std::stoi(argv[2]), std::stoi(argv[3])) ? 0 : 1;
  }
  if (argc != 2) return 2;
  const std::wstring_view question = argv[1];
  if (question == L"taskbar") {
    probe::AnswerTaskbar();
  } else if (question == L"windows") {
    probe::AnswerWindows();
  } else if (question == L"processes") {
    probe::AnswerProcesses();
  } else if (question == L"hold") {
    probe::Hold();
  } else {
    return 2;
  }
  return 0;
}
