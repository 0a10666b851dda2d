#pragma once

#include <string>

// The startup task: a Task Scheduler definition that runs the program without
// arguments (which restores the stored colours) at boot, on resume from
// sleep or hibernation and on wake from Modern Standby, as LocalSystem.

// The whole task definition for the given command, lines separated by CRLF,
// nothing after "</Task>". The command is XML-escaped.
std::wstring taskXmlText(const std::wstring& command);

// Writes the task definition to file as UTF-16LE with a byte-order mark (the
// encoding that line 1 declares), replacing an existing file in one step
// (replaceFile). Returns false when the file could not be written or is not a
// plain file, and, without touching the file, when the task file cannot hold
// the command (taskFileCanHold).
bool writeTaskXml(const std::wstring& file, const std::wstring& command);

// Escapes the characters that would otherwise end or inject markup in XML
// element content: & < >.
std::wstring xmlEscape(const std::wstring& text);

// UTF-16LE bytes of text, starting with the byte-order mark. wchar_t text is
// UTF-16 on Windows and UTF-32 elsewhere; both are encoded correctly.
std::string utf16LeWithBom(const std::wstring& text);
