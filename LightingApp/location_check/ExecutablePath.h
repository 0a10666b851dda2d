#pragma once

#include <string>

// The full path of the running executable; empty if it cannot be found.
std::wstring currentExecutablePath();
