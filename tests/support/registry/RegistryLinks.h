#pragma once

// Registry links, as anyone who may create subkeys where one lies could make
// them, for tests of code that must not follow them.

// A link at HKLM\path leading to HKLM\target.
void plantLink(const wchar_t* path, const wchar_t* target);

// Deletes the key at HKLM\path itself, also when it is a link (whose target
// stays).
void deleteKeyItself(const wchar_t* path);
