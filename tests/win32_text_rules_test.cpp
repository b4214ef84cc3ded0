// The Windows binding's text rules that need no Windows: the command line after the program's
// name, the application's folder and name from the module's path, and picture paths of any
// length.
#include <gtest/gtest.h>

#include <string>

#include "platform/win32/command_line.h"
#include "platform/win32/long_path.h"
#include "platform/win32/module_path.h"

namespace platform::win32 {
namespace {

TEST(ArgumentsAfterProgramName, DropsTheNameAndExactlyOneBlank) {
  struct Case {
    const wchar_t* line;
    const wchar_t* expected;
  };
  const Case cases[] = {
      {L"prog /s", L"/s"},
      {L"prog  /c", L" /c"},  // a second blank belongs to the arguments
      {L"prog\t/a 1234", L"/a 1234"},
      {L"prog", L""},
      {L"prog ", L""},
      {L"", L""},
      {L"\"C:\\Program Files\\Saver\\x.scr\" /p 123", L"/p 123"},
      {L"\"C:\\a b\\x.scr\"/s", L"/s"},  // the quoted name ends at its closing quote
      {L"\"C:\\a b\\x.scr\"", L""},
      {L"\"unterminated /s", L""},
      {L"\"\" /s", L"/s"},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(std::wstring(ArgumentsAfterProgramName(c.line)), c.expected)
        << "command line " << ::testing::PrintToString(std::wstring(c.line));
  }
}

TEST(ModulePath, FolderWithoutTrailingBackslashExceptAtARootAndNameWithoutExtension) {
  struct Case {
    const wchar_t* path;
    const wchar_t* folder;
    const wchar_t* name;
  };
  const Case cases[] = {
      {L"C:\\Saver\\Show.scr", L"C:\\Saver", L"Show"},
      {L"D:\\Show.scr", L"D:\\", L"Show"},
      {L"\\\\?\\D:\\Show.scr", L"\\\\?\\D:\\", L"Show"},
      {L"\\\\server\\share\\a.b.scr", L"\\\\server\\share", L"a.b"},
      {L"C:\\dir.x\\noext", L"C:\\dir.x", L"noext"},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(FolderOf(c.path), c.folder) << ::testing::PrintToString(std::wstring(c.path));
    EXPECT_EQ(std::wstring(NameWithoutExtension(c.path)), c.name);
  }
}

TEST(ExtendedLengthPath, PrefixesAbsoluteDriveAndUncPathsOnly) {
  const std::wstring deep = L"C:\\" + std::wstring(300, L'x') + L"\\QMAR5201.DAT";
  struct Case {
    std::wstring path;
    std::wstring expected;
  };
  const Case cases[] = {
      {L"C:\\Saver\\QMAR5201.DAT", L"\\\\?\\C:\\Saver\\QMAR5201.DAT"},
      {deep, L"\\\\?\\" + deep},
      {L"d:/Saver/QMAR5201.DAT", L"\\\\?\\d:\\Saver\\QMAR5201.DAT"},
      {L"\\\\server\\share\\QMAR5201.DAT", L"\\\\?\\UNC\\server\\share\\QMAR5201.DAT"},
      {L"\\\\?\\C:\\Saver\\QMAR5201.DAT", L"\\\\?\\C:\\Saver\\QMAR5201.DAT"},
      {L"\\\\?\\UNC\\server\\share\\x", L"\\\\?\\UNC\\server\\share\\x"},
      {L"\\\\.\\pipe\\x", L"\\\\.\\pipe\\x"},
      {L"Saver\\QMAR5201.DAT", L"Saver\\QMAR5201.DAT"},
      {L"C:QMAR5201.DAT", L"C:QMAR5201.DAT"},
      {L"", L""},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(ExtendedLengthPath(c.path), c.expected) << ::testing::PrintToString(c.path);
  }
}

}  // namespace
}  // namespace platform::win32
