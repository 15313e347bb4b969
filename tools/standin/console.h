// Output of the stand-in client: system code page text shown as UTF-8.
#pragma once

void PrintLine(const char* format, ...);
