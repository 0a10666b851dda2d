#pragma once

#include <string>
#include <string_view>

// UTF-8 bytes of wide text (UTF-16 where wchar_t has 16 bits, UTF-32 where it
// has 32). Unpaired surrogates become U+FFFD. With crlf, every "\n" is written
// as "\r\n", the line end of Windows text files.
std::string toUtf8(std::wstring_view text, bool crlf = false);

// Wide text of narrow ASCII text (error messages and codes the program builds
// itself), one character for one.
std::wstring widenAscii(std::string_view text);
