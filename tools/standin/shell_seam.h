// What a plug-in asks the shell to open: its ShellExecuteA import is pointed at the stand-in,
// which records each request and answers with a set result instead of starting anything.
#pragma once
#include <windows.h>

#include <string>
#include <vector>

namespace ShellSeam {

// False when the module imports no ShellExecuteA by name.
bool Install(HMODULE module);
// ShellExecute's own convention: above 32 is success (the default, 42).
void SetResult(int result);
const std::vector<std::string>& Requests();

} // namespace ShellSeam
