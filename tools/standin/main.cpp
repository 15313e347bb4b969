// The stand-in mail client: loads the plug-in and drives it as the real client would.
#include <windows.h>

#include <cstring>

#include "tools/standin/console.h"
#include "tools/standin/probe.h"

namespace {

void Usage() { PrintLine("usage: zvhost --probe <plugin.dll>"); }

} // namespace

int main(int argc, char** argv) {
    if (argc == 3 && strcmp(argv[1], "--probe") == 0)
        return RunProbe(argv[2]);
    Usage();
    return 1;
}
