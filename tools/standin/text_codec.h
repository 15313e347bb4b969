// Scenario files are UTF-8; windows and the plug-in see the system code page.
#pragma once
#include <string>

std::string Utf8ToAnsi(const std::string& utf8);
