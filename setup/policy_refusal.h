// The box that refuses a value the administrator's policy does not allow: it names the key and
// the option the administrator chose as the dialogs show them.
#pragma once

#include <cstdint>
#include <string>

#include "settings/setting_keys.h"

// The option of the dialogs that value stands for ("組織外の宛先を含むときに確認する", "10 分").
std::string OptionLabel(EKeyId id, int32_t value);
std::string PolicyRefusalText(EKeyId id, int32_t policyValue);
