// One key of lumenpane.ini's [display] section whose value names one of a few choices.
#pragma once

#include <string>

// The index of the name `value` stands for, without regard to case or surrounding blanks and
// tabs. An empty value (no file, no key) is the first name, the default. Any other unknown
// value is the default too, and logLine (when given) receives one line naming it and the key;
// otherwise logLine is left empty.
int InterpretSettingChoice(const char* key, const char* value, const char* const* names, int count,
                           std::string* logLine);

template <int Count>
int InterpretSettingChoice(const char* key, const char* value, const char* const (&names)[Count],
                           std::string* logLine) {
    return InterpretSettingChoice(key, value, names, Count, logLine);
}
