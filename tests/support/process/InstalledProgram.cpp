#include "InstalledProgram.h"

#include "ProgramRun.h"

#include <windows.h>

#include <stdexcept>

std::wstring installationFolder(const std::wstring& folder)
{
    return L"C:\\Program Files\\VeltrinLighting\\" + folder;
}

std::wstring installedProgram(const std::wstring& folder)
{
    const std::wstring parent = installationFolder(L"");
    CreateDirectoryW(parent.c_str(), nullptr);
    CreateDirectoryW(installationFolder(folder).c_str(), nullptr);
    const std::wstring copy = installationFolder(folder) + L"\\VeltrinLighting.exe";
    if (!CopyFileW(besideTestProgram(L"VeltrinLighting.exe").c_str(), copy.c_str(), FALSE)) {
        throw std::runtime_error("could not copy the program into C:\\Program Files");
    }
    return copy;
}
