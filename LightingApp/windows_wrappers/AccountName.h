#pragma once

#include <string>

// The account's name as Windows gives it ("DOMAIN\name") for a SID in its
// string form; LocalSystem by the name its documentation uses. Empty when the
// text is no SID or the SID is unknown here.
std::wstring accountName(const std::wstring& sid);
