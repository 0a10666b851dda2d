#include "ActionData.h"

std::vector<std::wstring> actionDataFields(const std::wstring& data, std::size_t count)
{
    std::vector<std::wstring> fields;
    std::size_t start = 0;
    for (;;) {
        const std::size_t end = data.find(L'|', start);
        fields.push_back(data.substr(start, end == std::wstring::npos ? std::wstring::npos : end - start));
        if (end == std::wstring::npos) {
            break;
        }
        start = end + 1;
    }
    if (fields.size() != count) {
        fields.clear();
    }
    return fields;
}
