#pragma once

#include <cstddef>
#include <string>

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

// Makes data the whole content of path: written to temporary (beside path), flushed to the
// disk, then renamed over path with the rename itself written through. After a power loss path
// holds the old content or the new, never an empty or half-written one. False leaves path as
// it was and removes the temporary.
bool ReplaceFileWhole(const char* path, const char* temporary, const std::string& data);
// "<path>.<process id>.tmp": two clients writing one file never share a temporary.
std::string ProcessTemporaryName(const char* path);
// Deletes temporaries of path of either ProcessTemporaryName's form or "<path>.tmp" untouched for
// an hour: no writer keeps one that long, so its process ended mid-write.
void RemoveStaleTemporaries(const char* path);

enum EFileRead { kFileRead, kFileMissing, kFileUnreadable, kFileChanged };
// The whole of a plain file of at most limit bytes. kFileChanged: its size or time of change
// moved while it was read, as when another process writes it in place; data is then no copy.
EFileRead ReadFileWhole(const char* path, size_t limit, std::string* data);
