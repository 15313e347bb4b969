// Runs a program of the build to its end and collects what it printed.
#pragma once
#include <string>

struct ProcessResult {
    bool started = false;
    bool timedOut = false;
    unsigned long exitCode = 0;
    std::string output;
};

// The command line is run from the build directory; output is stdout and stderr together.
ProcessResult RunProcess(const std::string& commandLine, unsigned long timeoutMs = 60000);
