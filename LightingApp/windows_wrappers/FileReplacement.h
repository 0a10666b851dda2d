#pragma once

#include <string>

// Gives the file target exactly these bytes, in one step: they go to a new
// file beside it, which is then moved over it. Nobody ever reads half a file,
// and a failed write leaves an earlier file as it was; the new file is
// removed when anything fails. A target that exists and is not a plain disk
// file (a device such as NUL or CON, a pipe, a folder, a symbolic link or
// other reparse point) is refused and left alone; links are not followed.
// Returns whether the target now holds the bytes.
bool replaceFile(const std::wstring& target, const std::string& bytes);
