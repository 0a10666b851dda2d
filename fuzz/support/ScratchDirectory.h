#pragma once

#include <filesystem>

// A private temporary directory for the files that the code under test writes,
// so that no fuzz input can make it write anywhere else. Created on first use,
// removed with everything in it when the process exits normally.
const std::filesystem::path& scratchDirectory();
