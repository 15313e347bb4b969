#pragma once

// True when a file or directory exists at path.
bool PathExists(const char* path);
// True when path names an existing directory.
bool DirectoryExists(const char* path);
// Creates the directory with all missing parents. False when it already
// exists or cannot be made: test DirectoryExists first.
bool CreateDirectoryPath(const char* path);

// True when path names target itself or anything inside it, compared as Windows compares
// names: full paths, long names, either separator, any case. A path that cannot be resolved
// (a stream, a device path, text that is no name) counts as inside: callers keep away.
bool PathMayLieIn(const char* path, const char* target);
