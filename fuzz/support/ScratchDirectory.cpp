#include "ScratchDirectory.h"

#include <cstdio>
#include <cstdlib>
#include <string>
#include <system_error>

#include <stdlib.h>

namespace {

class OwnedDirectory {
public:
    OwnedDirectory()
    {
        std::string pattern = (std::filesystem::temp_directory_path() / "veltrin-fuzz-XXXXXX").string();
        if (mkdtemp(pattern.data()) == nullptr) {
            std::perror("mkdtemp");
            std::abort();
        }
        path = pattern;
    }
    ~OwnedDirectory()
    {
        std::error_code ignored;
        std::filesystem::remove_all(path, ignored);
    }

    OwnedDirectory(const OwnedDirectory&) = delete;
    OwnedDirectory& operator=(const OwnedDirectory&) = delete;

    std::filesystem::path path;
};

} // namespace

const std::filesystem::path& scratchDirectory()
{
    static const OwnedDirectory directory;
    return directory.path;
}
