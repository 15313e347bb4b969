// Tagging a file as downloaded from the Internet zone, through a hidden PowerShell.
#pragma once

#include <string>

class SLogTarget;

// Moves the file at path to the Base64url form of its name in the same folder, so that its
// own name never reaches the PowerShell command line. Never replaces an existing file: when
// something exists at the target, the move fails. On failure logs through logic, sets
// encodedPath to path and returns false.
bool MoveToEncodedName(SLogTarget* logic, const char* path, std::string* encodedPath);

// Moves a file from its encoded name back to the decoded one, under the same rules. On
// failure path is set to encodedPath, where the file still is.
bool MoveToDecodedName(SLogTarget* logic, const char* encodedPath, std::string* path);

// The PowerShell parameters that write the zone stream of the file at path. The path goes in
// as a single-quoted literal, so PowerShell neither expands nor pattern-matches it. False when
// the path cannot be passed safely or the parameters would exceed 771 bytes.
bool FormatMarkOfTheWebParameters(const char* path, std::string* parameters);

// Writes the zone stream of the file at path, logging failures through logic (may be null).
void SetMarkOfTheWeb(SLogTarget* logic, const char* path);
