#pragma once
// The questions the probe answers, one line of output per item.
#include <windows.h>

#include <string>
#include <string_view>

namespace probe {

// "visible", "hidden" or "absent": the state of the task bar (class Shell_TrayWnd).
void AnswerTaskbar();
// Per visible top-level window: window<TAB>class<TAB>title<TAB>left top right bottom, followed
// by control<TAB>class<TAB>text for each of its child windows.
void AnswerWindows();
// The image name of every running process.
void AnswerProcesses();
// Per value of the key under the root (HKEY_CURRENT_USER, or HKEY_LOCAL_MACHINE as a 64-bit
// program sees it): name<TAB>data, texts as they are and numbers in decimal; the line "absent"
// when the key is not there. False when the key could not be read.
bool AnswerValues(HKEY root, const std::wstring& key);
// The working folder of the first running process of that image name (compared without case),
// as it keeps it; nothing when there is none.
void AnswerWorkingFolder(std::wstring_view image);
// Sleeps until killed: keeps the desktop alive while the program under test comes and goes.
void Hold();

}  // namespace probe
