#pragma once

#include <string>

// The final path of an existing file: symbolic links, junctions, substituted
// drives and short 8.3 names resolved, as C:\... for a file on a drive and
// \\server\share\... for one on the network. Empty when it cannot be found.
std::wstring finalPathOf(const std::wstring& path);

// The root of a drive path ("C:\" for "C:\x\y"); empty for any other path.
std::wstring driveRootOf(const std::wstring& path);
