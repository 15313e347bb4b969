// Where the administrator's policy is read from: HKLM, then HKCU, under
// Software\Policies\Tarnwyk\Velmora, then zVelmora.policy.ini beside the DLL.
#pragma once

#include <string>

#include "settings/setting_merge.h"

extern const char kPolicyKeyPath[];
extern const char kPolicyFileName[];

// Every key of the table from every source, each in its own layer. A source that is missing
// adds nothing; a value of the wrong type comes back unreadable.
SPolicy ReadPolicy(const char* policyFilePath);
// The policy file's path beside the module, or empty when it does not fit.
std::string PolicyFilePathBeside(const char* modulePath);
