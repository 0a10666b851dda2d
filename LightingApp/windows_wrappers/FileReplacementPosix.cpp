#include "windows_wrappers/FileReplacement.h"

#include "windows_wrappers/Utf8.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <vector>

namespace {

bool isPlainFileOrFree(const std::string& target)
{
    struct stat status {};
    if (lstat(target.c_str(), &status) != 0) {
        return errno == ENOENT;
    }
    return S_ISREG(status.st_mode);
}

bool writeAll(int descriptor, const std::string& bytes)
{
    std::size_t written = 0;
    while (written < bytes.size()) {
        const ssize_t done = ::write(descriptor, bytes.data() + written, bytes.size() - written);
        if (done <= 0) {
            return false;
        }
        written += static_cast<std::size_t>(done);
    }
    return fsync(descriptor) == 0;
}

} // namespace

// File names are UTF-8 here; the wide name is converted accordingly.
bool replaceFile(const std::wstring& target, const std::string& bytes)
{
    const std::string name = toUtf8(target);
    if (!isPlainFileOrFree(name)) {
        return false;
    }
    std::string pendingName = name + ".XXXXXX";
    std::vector<char> pattern(pendingName.begin(), pendingName.end());
    pattern.push_back('\0');
    const int descriptor = mkstemp(pattern.data());
    if (descriptor < 0) {
        return false;
    }
    pendingName = pattern.data();
    const bool written = writeAll(descriptor, bytes);
    const bool closed = close(descriptor) == 0;
    if (written && closed && std::rename(pendingName.c_str(), name.c_str()) == 0) {
        return true;
    }
    // Nothing more can be done when the new file cannot be removed either.
    (void)std::remove(pendingName.c_str());
    return false;
}
