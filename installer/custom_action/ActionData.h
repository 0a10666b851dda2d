#pragma once

#include <cstddef>
#include <string>
#include <vector>

// The CustomActionData of a deferred, rollback or commit action: fields
// separated by '|', which no Windows path and no product code holds. Exactly
// count fields, or none when the text has another number of them.
std::vector<std::wstring> actionDataFields(const std::wstring& data, std::size_t count);
