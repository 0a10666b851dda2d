#include "InstalledProgram.h"
#include "ProgramRun.h"

#include <aclapi.h>
#include <sddl.h>

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

namespace fs = std::filesystem;

namespace {

std::string readBytes(const fs::path& path)
{
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

// The file's text as UTF-16 code units.
std::wstring readUtf16(const fs::path& path)
{
    const std::string bytes = readBytes(path);
    std::wstring text;
    for (std::size_t i = 0; i + 1 < bytes.size(); i += 2) {
        text += static_cast<wchar_t>(static_cast<unsigned char>(bytes[i]) | (static_cast<unsigned char>(bytes[i + 1]) << 8));
    }
    return text;
}

std::string utf8(const std::wstring& text)
{
    std::string bytes(static_cast<std::size_t>(WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), nullptr, 0, nullptr, nullptr)), '\0');
    WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), bytes.data(), static_cast<int>(bytes.size()), nullptr, nullptr);
    return bytes;
}

// Lets everyone change the file or folder, as a world-writable Unix mode does
// under Wine (which maps the entries onto the mode).
void letEveryoneChange(const fs::path& path)
{
    PSECURITY_DESCRIPTOR descriptor = nullptr;
    ASSERT_TRUE(ConvertStringSecurityDescriptorToSecurityDescriptorW(L"D:(A;;FA;;;SY)(A;;FA;;;BA)(A;;0x1301ff;;;WD)",
                                                                     SDDL_REVISION_1, &descriptor, nullptr));
    BOOL present = FALSE;
    BOOL defaulted = FALSE;
    PACL dacl = nullptr;
    GetSecurityDescriptorDacl(descriptor, &present, &dacl, &defaulted);
    std::wstring name = path.wstring();
    EXPECT_EQ(SetNamedSecurityInfoW(name.data(), SE_FILE_OBJECT, DACL_SECURITY_INFORMATION, nullptr, nullptr, dacl,
                                    nullptr),
              static_cast<DWORD>(ERROR_SUCCESS));
    LocalFree(descriptor);
}

// A copy of the program in folder (created as needed).
std::wstring copyOfProgram(const std::wstring& program, const fs::path& folder)
{
    fs::create_directories(folder);
    fs::copy_file(program, folder / L"VeltrinLighting.exe", fs::copy_options::overwrite_existing);
    return (folder / L"VeltrinLighting.exe").wstring();
}

class TaskFile : public ::testing::Test {
protected:
    void SetUp() override
    {
        SetEnvironmentVariableW(L"VELTRIN_SIM_MODEL", nullptr);
        directory = fs::temp_directory_path() / L"veltrin-task-file-test";
        fs::remove_all(directory);
        fs::create_directories(directory);
    }
    void TearDown() override { fs::remove_all(directory); }

    ProgramResult createXml(const std::wstring& file, const std::wstring& argument0 = L"lighting")
    {
        return runProgram({program, {L"--create-xml", file}, argument0, {}});
    }

    const std::wstring program = installedProgram(L"task-file-test");
    fs::path directory;
};

TEST_F(TaskFile, IsWrittenInUtf16WithTheExecutablesFullPath)
{
    const fs::path file = directory / L"task.xml";
    const ProgramResult result = createXml(file.wstring());
    EXPECT_EQ(result.output, "Startup task file written: " + utf8(file.wstring()) + "\r\n");
    EXPECT_EQ(result.exitCode, 0u);

    const std::string bytes = readBytes(file);
    ASSERT_GE(bytes.size(), 2u);
    EXPECT_EQ(bytes.substr(0, 2), std::string("\xFF\xFE"));
    const std::wstring text = readUtf16(file);
    EXPECT_TRUE(text.starts_with(L"\uFEFF<?xml version=\"1.0\" encoding=\"UTF-16\"?>\r\n"));
    EXPECT_TRUE(text.ends_with(L"</Task>"));
    // Invoked by a bare name, but the task names the executable by its full path.
    const std::wstring command = L"      <Command>" + program + L"</Command>\r\n";
    EXPECT_NE(text.find(command), std::wstring::npos);
}

TEST_F(TaskFile, ReplacesAnExistingFile)
{
    const fs::path file = directory / L"task.xml";
    std::ofstream(file, std::ios::binary) << std::string(50000, 'x');
    createXml(file.wstring());
    const std::wstring text = readUtf16(file);
    EXPECT_TRUE(text.ends_with(L"</Task>"));
    EXPECT_EQ(text.find(L'x' + std::wstring(10, L'x')), std::wstring::npos);
}

TEST_F(TaskFile, MissingDirectoryIsReportedAsAFailedRequest)
{
    const fs::path file = directory / L"missing" / L"task.xml";
    const ProgramResult result = createXml(file.wstring());
    EXPECT_EQ(result.output, "Could not write the startup task file: " + utf8(file.wstring()) + "\r\nRequest Failed\r\n");
    EXPECT_EQ(result.exitCode, 0u);
    EXPECT_FALSE(fs::exists(directory / L"missing"));
}

TEST_F(TaskFile, NonAsciiFileNameIsKept)
{
    const fs::path file = directory / L"t\u00e2che.xml";
    const ProgramResult result = createXml(file.wstring());
    EXPECT_EQ(result.output, "Startup task file written: " + utf8(file.wstring()) + "\r\n");
    EXPECT_TRUE(fs::exists(file));
}

TEST_F(TaskFile, IsNotWrittenForAProgramThatUsersCouldChangeNorToAnythingButAPlainFile)
{
    const fs::path places = installationFolder(L"task-file-refusals");
    fs::remove_all(places);
    const fs::path open = places / L"open";
    const std::wstring inOpenFolder = copyOfProgram(program, open);
    const std::wstring belowOpenFolder = copyOfProgram(program, open / L"inner");
    letEveryoneChange(open);
    const std::wstring openFile = copyOfProgram(program, places / L"file");
    letEveryoneChange(openFile);
    const std::wstring usersCanChange = L"Users other than administrators can change ";
    // Any process of that user may change it, whatever the folder's entries say.
    const fs::path profile = L"C:\\users\\Public\\veltrin-task-file-test";
    const std::wstring inProfile = copyOfProgram(program, profile);

    const fs::path file = directory / L"task.xml";
    const struct {
        std::wstring program;
        std::wstring file;
        std::wstring reason;  // the line between the two usual ones, if any
    } cases[] = {
        {inOpenFolder, file, usersCanChange + open.wstring()},
        {belowOpenFolder, file, usersCanChange + open.wstring()},
        {openFile, file, usersCanChange + openFile},
        {inProfile, file, L"The program is in a user's profile folder: " + inProfile},
        {copyOfProgram(program, places / L"100%"), file,
         L"The program's path holds characters that a startup task cannot carry"},
        {program, L"NUL", L""},
        {program, directory.wstring(), L""},
    };
    for (const auto& refused : cases) {
        SCOPED_TRACE(utf8(refused.program + L" --create-xml " + refused.file));
        const ProgramResult result = runProgram({refused.program, {L"--create-xml", refused.file}, {}, {}});
        const std::wstring reason = refused.reason.empty() ? L"" : refused.reason + L"\r\n";
        EXPECT_EQ(result.output,
                  utf8(L"Could not write the startup task file: " + refused.file + L"\r\n" + reason + L"Request Failed\r\n"));
        EXPECT_FALSE(fs::exists(file));
    }
    EXPECT_TRUE(fs::is_empty(directory));
    fs::remove_all(places);
    fs::remove_all(profile);
}

TEST_F(TaskFile, UnsupportedMachineSaysSoAndThenReportsTheFile)
{
    SetEnvironmentVariableW(L"VELTRIN_SIM_MODEL", L"Wine");
    const fs::path file = directory / L"task.xml";
    const ProgramResult result = createXml(file.wstring());
    EXPECT_TRUE(result.output.starts_with("\r\nThis hardware is not compatible.\r\n"));
    EXPECT_TRUE(result.output.ends_with("Startup task file written: " + utf8(file.wstring()) + "\r\n"));
    SetEnvironmentVariableW(L"VELTRIN_SIM_MODEL", nullptr);
}

} // namespace
