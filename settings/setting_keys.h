// Every key of Velmora.ini and of the administrator's policy, with the way a value may move
// when a policy sets it. Reading, the dialogs, the log, the templates and the guide follow this
// one table. Win32-free.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

enum class EKeyId {
    InnerDomains,
    InnerDelayTime,
    OuterDelayTime,
    DelayListColumns,
    Confirm,
    ConfirmInsideEach,
    BccWarnCount,
    NewDomainWarn,
    InnerDomainMatch,
    CtrlBypass,
    OutsideKeywords,
    LogFile,
    LogLevel,
    HelpUrl,
    AllowUserDomains,
    IdentBypass,
    EventLog,
    BccConvert,
    DomainNames,
    Count
};
const size_t kKeyCount = static_cast<size_t>(EKeyId::Count);

enum class EKeyType {
    Text, // read whole
    List, // comma-separated
    Int   // a number; flags are numbers 0 and 1
};

// How the user's value may differ from a value the policy sets.
enum class EOneWay {
    Fixed,        // the policy's value is used as written
    Higher,       // the user may choose a higher number (hold times, warnings switched on)
    Lower,        // the user may choose a lower number (CtrlBypass 0)
    FewerNotZero, // a lower count, never a higher one and never 0 (off)
    Ranked,       // the user may move up the key's order of strength
    DomainList,   // the policy's list; the user's entries only with AllowUserDomains
    WordUnion,    // the policy's words and the user's: more words only strengthen
    NameMap       // "domain=name" entries: the user's add to the policy's, which win per domain
};

struct SSettingKey {
    EKeyId id;
    const char* section; // in Velmora.ini; null for a key only a policy sets
    const char* name;    // the key, the policy's registry value and the log's name
    EKeyType type;
    const char* defaultText;
    // Range of a number; a user value outside it reads as the default, a policy value outside
    // it cannot be used. Hold times accept any number from the user's file (0 or below: no
    // hold).
    int32_t minValue;
    int32_t maxValue;
    // The values a number may take, weakest first, when they are few ("0,3,1,2"); null when
    // the range says it all.
    const char* choices;
    // What a number without digits reads as: never weaker than the default.
    int32_t safeValue;
    EOneWay rule;
    const char* label;   // Japanese, for the log and the boxes
    const char* meaning; // Japanese, what the value does: the guide's table of keys
};

const SSettingKey& KeyOf(EKeyId id);
const SSettingKey* FindKey(const char* name);
const SSettingKey* KeyTable(); // kKeyCount entries, in EKeyId order

// A number as Velmora.ini and the policy file write it: the base from its prefix, except that
// a leading 0 followed by an 8 or a 9 is decimal. False when no digit comes after the blanks
// and sign; *value is then untouched.
bool ReadNumber(const char* text, int32_t* value);
// True when the number is one the key can take.
bool InRange(const SSettingKey& key, int32_t value);
// The one of a and b that guards more, under the key's rule (a on a tie).
int32_t StrongerOf(const SSettingKey& key, int32_t a, int32_t b);
// True when moving from policyValue to value keeps the guard at least as strong.
bool AllowedFrom(const SSettingKey& key, int32_t policyValue, int32_t value);
// True for a key read as a list: a List key, or words that add up.
bool IsListKey(const SSettingKey& key);
// True when no value is stronger than this one: the user has nothing left to choose.
bool IsStrongest(const SSettingKey& key, int32_t value);
