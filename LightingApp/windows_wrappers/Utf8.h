#pragma once

#include <cstdint>
#include <string>
#include <string_view>

// UTF-8 bytes of wide text (UTF-16 where wchar_t has 16 bits, UTF-32 where it
// has 32). Unpaired surrogates become U+FFFD. With crlf, every "\n" is written
// as "\r\n", the line end of Windows text files.
std::string toUtf8(std::wstring_view text, bool crlf = false);

// Wide text of narrow ASCII text (error messages and codes the program builds
// itself), one character for one. A byte outside ASCII (a message in the
// system's code page) shows as "?".
std::wstring widenAscii(std::string_view text);

// An HRESULT or other code in lower-case hexadecimal without leading zeros
// or "0x" (0x8004100E as "8004100e").
std::string hexCode(std::int32_t code);
