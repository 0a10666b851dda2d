#pragma once

#include <ostream>

// The wide output stream that every message and the usage text go to: the
// standard wide output stream, set up on Windows so that any character prints
// (on a console as it is, redirected to a file or pipe as UTF-8 with CRLF line
// ends) instead of failing the stream on the first non-ASCII character.
std::wostream& console();
