#include "location_check/TaskFileCharacters.h"

#include <cstdint>

bool taskFileCanHold(const std::wstring& command)
{
    for (std::size_t i = 0; i < command.size(); ++i) {
        const auto c = static_cast<std::uint32_t>(command[i]);
        if (c < 0x20 || c == L'%' || c == 0xFFFE || c == 0xFFFF || c > 0x10FFFF) {
            return false;
        }
        if (c >= 0xD800 && c <= 0xDFFF) {
            // Only a high surrogate directly followed by a low one is a
            // character; the UTF-16 encoding writes such a pair as it is.
            const bool pairs = c <= 0xDBFF && i + 1 < command.size()
                && static_cast<std::uint32_t>(command[i + 1]) >= 0xDC00
                && static_cast<std::uint32_t>(command[i + 1]) <= 0xDFFF;
            if (!pairs) {
                return false;
            }
            ++i;
        }
    }
    return true;
}
