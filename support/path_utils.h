#pragma once

#include <cstddef>
#include <string>

// Splits a path into drive (up to and including the first ':'), directory
// (with its trailing separator), file name and extension (with its dot),
// stepping over Shift-JIS double-byte characters. Every output is optional
// (null, or size 0) and receives at most size - 1 bytes and a NUL.
void SplitPath(const char* path, char* drive, size_t driveSize, char* directory,
               size_t directorySize, char* name, size_t nameSize, char* extension,
               size_t extensionSize);

// Writes path with its extension replaced by newExtension into output, which
// may be the path's own buffer. Returns 0, or the size output needs when it
// is null or too small (nothing is written then).
size_t ChangeExtension(char* output, size_t outputSize, const char* path, const char* newExtension);

// Cuts suffix off the end of text when it is there and shorter than the text
// and ends on a character boundary (the trail byte of a final double-byte
// character never counts as a match). Returns the text's new length.
size_t TrimSuffix(char* text, const char* suffix);

// The drive and directory of path, with the directory's trailing separator: the folder a file
// is in. Empty for a bare file name.
std::string FolderOf(const char* path);

// first and second joined with one backslash; a trail byte 0x5C of a double-byte character
// at the end of first is no separator.
std::string JoinPath(const char* first, const char* second);

// Copy of text with every non-overlapping occurrence of from replaced by to,
// left to right. An empty from leaves the text unchanged.
std::string ReplaceAll(const std::string& text, const std::string& from, const std::string& to);
