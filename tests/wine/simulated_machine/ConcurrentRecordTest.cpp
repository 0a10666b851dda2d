// Several processes with several threads each append to one record file at
// the same time; every line must come out whole.
#include "SimulatedMachine.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <set>
#include <tuple>

using namespace simulated_machine;

namespace {

std::filesystem::path besideThisProgram(const wchar_t* name)
{
    wchar_t self[MAX_PATH];
    const DWORD length = GetModuleFileNameW(nullptr, self, MAX_PATH);
    return std::filesystem::path(std::wstring(self, length)).parent_path() / name;
}

struct Child {
    PROCESS_INFORMATION info{};
    ~Child()
    {
        if (info.hProcess != nullptr) {
            CloseHandle(info.hProcess);
            CloseHandle(info.hThread);
        }
    }
};

TEST(ConcurrentRecordTest, LinesFromConcurrentWritersStayWhole)
{
    constexpr int processes = 4;
    constexpr int threads = 3;
    constexpr int calls = 10;

    // The settings go only to the children, through their environment block.
    SimulatedMachineCase machine(SimulatedMachineCase::Scope::ChildProcesses);
    std::wstring environment = machine.environmentBlock();
    const auto writer = besideThisProgram(L"simulated-machine-record-writer.exe");

    Child children[processes];
    for (int p = 0; p < processes; ++p) {
        std::wstring commandLine = L"\"" + writer.wstring() + L"\" " + std::to_wstring(p) + L" " +
                                   std::to_wstring(threads) + L" " + std::to_wstring(calls);
        STARTUPINFOW startup{};
        startup.cb = sizeof startup;
        ASSERT_TRUE(CreateProcessW(writer.c_str(), commandLine.data(), nullptr, nullptr, FALSE,
                                   CREATE_UNICODE_ENVIRONMENT, environment.data(), nullptr, &startup,
                                   &children[p].info))
            << GetLastError();
    }
    for (auto& child : children) {
        ASSERT_EQ(WaitForSingleObject(child.info.hProcess, 120000), WAIT_OBJECT_0);
        DWORD exitCode = 99;
        GetExitCodeProcess(child.info.hProcess, &exitCode);
        EXPECT_EQ(exitCode, 0u);
    }

    const auto recorded = machine.calls();
    ASSERT_EQ(recorded.size(), static_cast<std::size_t>(processes * threads * calls));
    std::set<std::tuple<int, int, int>> seen;
    for (const auto& call : recorded) {
        const auto data = call.data();
        ASSERT_EQ(data.size(), 128u);
        const int callNumber = data[2];
        for (std::size_t i = 2; i < data.size(); ++i) {
            ASSERT_EQ(data[i], callNumber);
        }
        EXPECT_TRUE(seen.emplace(data[0], data[1], callNumber).second);
    }
    EXPECT_EQ(seen.size(), recorded.size());
}

} // namespace
