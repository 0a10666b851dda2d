#pragma once

#include <string>

// The final path of an existing file or folder, as Windows answers it:
// symbolic links, junctions, substituted drives and short 8.3 names resolved,
// \\?\C:\... for one on a drive and \\?\UNC\server\share\... for one on the
// network. Empty when it cannot be found.
std::wstring finalPathOf(const std::wstring& path);

// A path in the \\?\ form as people write it: C:\... and \\server\share\...;
// any other path (a volume without a drive letter) unchanged.
std::wstring writtenFormOf(const std::wstring& path);

// The root of a drive path ("C:\" for "C:\x\y"); empty for any other path.
std::wstring driveRootOf(const std::wstring& path);
