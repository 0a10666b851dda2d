#pragma once

#include <string>

// Copies VeltrinLighting.exe from the build into the folder FOLDER of
// C:\Program Files\VeltrinLighting in the test prefix and returns the copy's
// path. There only administrators can change it, as in an installation: the
// build tree may lie below a folder that anyone can change (such as /tmp),
// where the program refuses to write a startup task. Each test program uses a
// folder of its own, so that no copy is replaced while another test runs it.
// Throws std::runtime_error when the copy fails.
std::wstring installedProgram(const std::wstring& folder);

// The folder that installedProgram(folder) copies into.
std::wstring installationFolder(const std::wstring& folder);
