#pragma once

#include <string>

// Whether the command can stand in the task file exactly as it is. XML 1.0
// has no way at all to write most control characters, unpaired surrogates,
// U+FFFE and U+FFFF, and replacing them would make the task start another
// file. No Windows path holds a control character, so all of them are refused.
// The Task Scheduler expands environment variables in a command, so a % would
// let a folder named like %SystemRoot% start another program: it is refused too.
bool taskFileCanHold(const std::wstring& command);
