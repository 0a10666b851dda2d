#pragma once

#include <optional>
#include <string>
#include <vector>

// Characters as Unicode code points, to compare the command given with the
// text that an XML reader gets back, whatever the width of wchar_t.

// The code points of wide text read as UTF-16 would read it: a high surrogate
// directly followed by a low one is one character; any other value stands for
// itself (a lone surrogate stays a surrogate).
std::vector<char32_t> codePointsOfWide(const std::wstring& text);

// The code points of strict UTF-8, or nothing when the bytes are not UTF-8.
std::optional<std::vector<char32_t>> codePointsOfUtf8(const std::string& bytes);

// A character that may occur in an XML 1.0 document (the production Char).
bool isXmlChar(char32_t c);
