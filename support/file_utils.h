#pragma once

// True when a file or directory exists at path.
bool PathExists(const char* path);
// True when path names an existing directory.
bool DirectoryExists(const char* path);
// Creates the directory with all missing parents. False when it already
// exists or cannot be made: test DirectoryExists first.
bool CreateDirectoryPath(const char* path);
