#include "windows_wrappers/FileReplacement.h"
#include "windows_wrappers/UniqueHandle.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <set>
#include <string>

namespace fs = std::filesystem;

namespace {

std::string readBytes(const fs::path& path)
{
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

class FileReplacement : public ::testing::Test {
protected:
    void SetUp() override
    {
        fs::remove_all(directory);
        fs::create_directories(directory);
        std::ofstream(target, std::ios::binary) << "earlier";
    }
    void TearDown() override { fs::remove_all(directory); }

    std::set<std::wstring> namesInDirectory() const
    {
        std::set<std::wstring> names;
        for (const auto& entry : fs::directory_iterator(directory)) {
            names.insert(entry.path().filename().wstring());
        }
        return names;
    }

    const fs::path directory = fs::temp_directory_path() / L"veltrin-file-replacement-test";
    const fs::path target = directory / L"task.xml";
};

TEST_F(FileReplacement, TakesTheNextNameWhenAnEarlierRunLeftItsNewFile)
{
    // The name this process tries first, left by an earlier process of the same id.
    const std::wstring leftName = L"task.xml." + std::to_wstring(GetCurrentProcessId()) + L"-0.tmp";
    std::ofstream(directory / leftName, std::ios::binary) << "left";

    EXPECT_TRUE(replaceFile(target.wstring(), "new"));
    EXPECT_EQ(readBytes(target), "new");
    EXPECT_EQ(readBytes(directory / leftName), "left");
    EXPECT_EQ(namesInDirectory(), (std::set<std::wstring>{L"task.xml", leftName}));
}

TEST_F(FileReplacement, FailedMoveLeavesTheTargetAsItWasAndNothingBesideIt)
{
    {
        // Open without sharing delete: the target cannot be replaced.
        const UniqueHandle held(CreateFileW(target.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                            OPEN_EXISTING, 0, nullptr));
        ASSERT_TRUE(held);
        EXPECT_FALSE(replaceFile(target.wstring(), "new"));
    }
    EXPECT_EQ(readBytes(target), "earlier");
    EXPECT_EQ(namesInDirectory(), std::set<std::wstring>{L"task.xml"});
}

TEST_F(FileReplacement, RefusesANamedPipeWithoutConnectingToIt)
{
    const std::wstring pipeName = L"\\\\.\\pipe\\veltrin-file-replacement-" + std::to_wstring(GetCurrentProcessId());
    const UniqueHandle pipe(CreateNamedPipeW(pipeName.c_str(), PIPE_ACCESS_DUPLEX | FILE_FLAG_OVERLAPPED,
                                             PIPE_TYPE_BYTE, 1, 0, 0, 0, nullptr));
    ASSERT_TRUE(pipe);
    const UniqueHandle connected(CreateEventW(nullptr, TRUE, FALSE, nullptr));
    OVERLAPPED waiting{};
    waiting.hEvent = connected.get();
    ASSERT_FALSE(ConnectNamedPipe(pipe.get(), &waiting));
    ASSERT_EQ(GetLastError(), static_cast<DWORD>(ERROR_IO_PENDING));

    EXPECT_FALSE(replaceFile(pipeName, "new"));
    EXPECT_EQ(WaitForSingleObject(connected.get(), 0), static_cast<DWORD>(WAIT_TIMEOUT));
    CancelIoEx(pipe.get(), &waiting);
    DWORD transferred = 0;
    GetOverlappedResult(pipe.get(), &waiting, &transferred, TRUE);
}

} // namespace
