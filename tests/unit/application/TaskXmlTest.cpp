#include "application/Parser.h"
#include "application/TaskXml.h"
#include "location_check/ProgramLocation.h"
#include "location_check/TaskFileCharacters.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <sstream>
#include <string>

namespace fs = std::filesystem;

namespace {

// The task definition as it must appear, with the command C:\Tools\lighting.exe.
const std::wstring expectedLines = LR"(<?xml version="1.0" encoding="UTF-16"?>
<Task version="1.4" xmlns="http://schemas.microsoft.com/windows/2004/02/mit/task">
  <RegistrationInfo>
    <Date>2019-05-02T11:13:53.5040613</Date>
    <Author>Orvane Inc.</Author>
    <Description>Runs the Orvane VR Veltrin Lighting Utility to set color on startup and resume.</Description>
    <URI>\OrvaneVRVeltrinLightingUtilityStartup</URI>
  </RegistrationInfo>
  <Triggers>
    <EventTrigger>
      <Enabled>true</Enabled>
      <Subscription>&lt;QueryList&gt;&lt;Query Id="0" Path="System"&gt;&lt;Select Path="System"&gt;*[System[(Provider[@Name='Microsoft-Windows-Kernel-Power'] and (EventID=107 or EventID=507)) or (Provider[@Name='Microsoft-Windows-Kernel-Boot'] and EventID=27) or (Provider[@Name='Microsoft-Windows-GroupPolicy'] and EventID=1502)]]&lt;/Select&gt;&lt;/Query&gt;&lt;/QueryList&gt;</Subscription>
    </EventTrigger>
    <BootTrigger>
      <Enabled>true</Enabled>
    </BootTrigger>
  </Triggers>
  <Principals>
    <Principal id="Author">
      <UserId>S-1-5-18</UserId>
      <RunLevel>LeastPrivilege</RunLevel>
    </Principal>
  </Principals>
  <Settings>
    <MultipleInstancesPolicy>StopExisting</MultipleInstancesPolicy>
    <DisallowStartIfOnBatteries>false</DisallowStartIfOnBatteries>
    <StopIfGoingOnBatteries>false</StopIfGoingOnBatteries>
    <AllowHardTerminate>true</AllowHardTerminate>
    <StartWhenAvailable>false</StartWhenAvailable>
    <RunOnlyIfNetworkAvailable>false</RunOnlyIfNetworkAvailable>
    <IdleSettings>
      <StopOnIdleEnd>true</StopOnIdleEnd>
      <RestartOnIdle>false</RestartOnIdle>
    </IdleSettings>
    <AllowStartOnDemand>true</AllowStartOnDemand>
    <Enabled>true</Enabled>
    <Hidden>false</Hidden>
    <RunOnlyIfIdle>false</RunOnlyIfIdle>
    <UseUnifiedSchedulingEngine>true</UseUnifiedSchedulingEngine>
    <WakeToRun>false</WakeToRun>
    <ExecutionTimeLimit>PT72H</ExecutionTimeLimit>
    <Priority>7</Priority>
  </Settings>
  <Actions Context="Author">
    <Exec>
      <Command>C:\Tools\lighting.exe</Command>
    </Exec>
  </Actions>
</Task>)";

std::wstring withCrLf(const std::wstring& text)
{
    std::wstring out;
    for (const wchar_t c : text) {
        if (c == L'\n') {
            out += L'\r';
        }
        out += c;
    }
    return out;
}

std::string readBytes(const fs::path& path)
{
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

class TaskFileOnDisk : public ::testing::Test {
protected:
    void SetUp() override
    {
        directory = fs::temp_directory_path()
            / ("veltrin-taskxml-" + std::string(::testing::UnitTest::GetInstance()->current_test_info()->name()));
        fs::remove_all(directory);
        fs::create_directories(directory);
    }
    void TearDown() override { fs::remove_all(directory); }

    fs::path directory;
};

TEST(TaskXmlText, HasTheFortyNineLinesWithCrLfAndNothingAfterTask)
{
    const std::wstring text = taskXmlText(L"C:\\Tools\\lighting.exe");
    EXPECT_EQ(text, withCrLf(expectedLines));
    EXPECT_EQ(std::count(text.begin(), text.end(), L'\n'), 48);
    EXPECT_TRUE(text.ends_with(L"</Task>"));
}

TEST(TaskXmlText, EscapesMarkupInTheCommand)
{
    const std::wstring text = taskXmlText(L"C:\\Tools & Co\\</Command><Arguments>x</Arguments>.exe");
    EXPECT_NE(text.find(L"<Command>C:\\Tools &amp; Co\\&lt;/Command&gt;&lt;Arguments&gt;x&lt;/Arguments&gt;.exe</Command>"),
              std::wstring::npos);
    EXPECT_EQ(text.find(L"<Arguments>"), std::wstring::npos);
}

TEST(TaskXmlText, XmlEscapeLeavesOtherCharactersAlone)
{
    EXPECT_EQ(xmlEscape(L"a&b<c>d\"e'f\u00e9"), L"a&amp;b&lt;c&gt;d\"e'f\u00e9");
    EXPECT_EQ(xmlEscape(L"&amp;"), L"&amp;amp;");
}

TEST(Utf16Encoding, StartsWithByteOrderMarkAndIsLittleEndian)
{
    using namespace std::string_literals;
    EXPECT_EQ(utf16LeWithBom(L""), "\xFF\xFE"s);
    EXPECT_EQ(utf16LeWithBom(L"A\u00e9\u20ac"), "\xFF\xFE" "A\0\xE9\0\xAC\x20"s);
    // Outside the basic plane: one surrogate pair, whatever the width of wchar_t.
    EXPECT_EQ(utf16LeWithBom(L"\U0001F600"), "\xFF\xFE\x3D\xD8\x00\xDE"s);
}

TEST_F(TaskFileOnDisk, IsUtf16WithBomAndMatchesTheText)
{
    const fs::path file = directory / "task.xml";
    ASSERT_TRUE(writeTaskXml(file.wstring(), L"C:\\Tools\\lighting.exe"));
    EXPECT_EQ(readBytes(file), utf16LeWithBom(withCrLf(expectedLines)));
}

TEST_F(TaskFileOnDisk, ReplacesAnExistingFileEntirely)
{
    const fs::path file = directory / "task.xml";
    std::ofstream(file, std::ios::binary) << std::string(100000, 'x');
    ASSERT_TRUE(writeTaskXml(file.wstring(), L"C:\\a.exe"));
    EXPECT_EQ(readBytes(file), utf16LeWithBom(taskXmlText(L"C:\\a.exe")));
}

TEST_F(TaskFileOnDisk, FolderIsNotReplacedAndNothingIsLeftBeside)
{
    const fs::path folder = directory / "task.xml";
    fs::create_directory(folder);
    EXPECT_FALSE(writeTaskXml(folder.wstring(), L"C:\\a.exe"));
    EXPECT_TRUE(fs::is_directory(folder));
    EXPECT_EQ(std::distance(fs::directory_iterator(directory), fs::directory_iterator()), 1);
}

TEST_F(TaskFileOnDisk, MissingDirectoryIsReportedAndCreatesNothing)
{
    const fs::path file = directory / "missing" / "task.xml";
    EXPECT_FALSE(writeTaskXml(file.wstring(), L"C:\\a.exe"));
    EXPECT_FALSE(fs::exists(directory / "missing"));
}

TEST_F(TaskFileOnDisk, NonAsciiFileNameCreatesThatFile)
{
    ASSERT_TRUE(writeTaskXml(directory.wstring() + L"/t\u00e2che.xml", L"C:\\a.exe"));
    EXPECT_TRUE(fs::exists(directory / fs::path(u8"t\u00e2che.xml")));
    EXPECT_EQ(std::distance(fs::directory_iterator(directory), fs::directory_iterator()), 1);
}

// Paths that XML 1.0 cannot carry: any XML reader would refuse the file, or
// read back another executable's name.
TEST_F(TaskFileOnDisk, CommandTheTaskFileCannotHoldIsRefusedAndWritesNothing)
{
    const std::wstring cannotHold[] = {
        std::wstring(1, L'\0'),
        std::wstring(1, wchar_t{0x01}),
        std::wstring(1, L'\t'),
        std::wstring(1, L'\r'),
        std::wstring(1, wchar_t{0x1F}),
        std::wstring(1, static_cast<wchar_t>(0xD800)),  // high surrogate alone
        std::wstring(1, static_cast<wchar_t>(0xDC00)),  // low surrogate alone
        std::wstring{static_cast<wchar_t>(0xDC00), static_cast<wchar_t>(0xD800)},  // in the wrong order
        std::wstring(1, static_cast<wchar_t>(0xFFFE)),
        std::wstring(1, static_cast<wchar_t>(0xFFFF)),
        L"%SystemRoot%\\",  // the Task Scheduler would expand it
    };
    const fs::path file = directory / "task.xml";
    for (const auto& characters : cannotHold) {
        const std::wstring command = L"C:\\Tools\\a" + characters + L".exe";
        SCOPED_TRACE(static_cast<std::uint32_t>(characters[0]));
        EXPECT_FALSE(taskFileCanHold(command));
        EXPECT_FALSE(writeTaskXml(file.wstring(), command));
        EXPECT_FALSE(fs::exists(file));
    }
}

ProgramLocation installedProgram()
{
    return {ProgramVerdict::Accepted, L"C:\\Program Files\\Veltrin\\lighting.exe"};
}

ProgramLocation programInOpenFolder()
{
    return {ProgramVerdict::ChangeableByUsers, L"C:\\Tools"};
}

std::unique_ptr<Request> parseCreateXml(std::vector<std::wstring> arguments,
                                        Parser::ProgramLocator locate = installedProgram)
{
    arguments.insert(arguments.begin(), L"lighting");
    std::vector<const wchar_t*> argv;
    for (const auto& argument : arguments) {
        argv.push_back(argument.c_str());
    }
    return Parser(locate).parse(static_cast<int>(argv.size()), argv.data());
}

TEST_F(TaskFileOnDisk, CreateXmlNamesTheLocatedProgramNotTheOneTyped)
{
    const fs::path file = directory / "a.xml";
    const auto request = parseCreateXml({L"--create-xml", file.wstring()});
    EXPECT_EQ(request->kind, RequestKind::CreateTaskFile);
    EXPECT_TRUE(request->taskFileWritten);
    EXPECT_EQ(request->taskFileReason, L"");
    EXPECT_EQ(request->taskFile, file.wstring());
    EXPECT_EQ(readBytes(file), utf16LeWithBom(taskXmlText(installedProgram().path)));
}

TEST_F(TaskFileOnDisk, CreateXmlForARefusedProgramWritesNothingAndSaysWhy)
{
    const fs::path file = directory / "a.xml";
    const auto request = parseCreateXml({L"--create-xml", file.wstring()}, programInOpenFolder);
    EXPECT_EQ(request->kind, RequestKind::CreateTaskFile);
    EXPECT_FALSE(request->taskFileWritten);
    EXPECT_EQ(request->taskFileReason, L"Users other than administrators can change C:\\Tools");
    EXPECT_FALSE(fs::exists(file));
}

TEST_F(TaskFileOnDisk, CreateXmlIntoMissingDirectoryIsReportedAsNotWritten)
{
    const fs::path file = directory / "missing" / "a.xml";
    const auto request = parseCreateXml({L"--create-xml", file.wstring()});
    EXPECT_EQ(request->kind, RequestKind::CreateTaskFile);
    EXPECT_FALSE(request->taskFileWritten);
}

TEST_F(TaskFileOnDisk, CreateXmlWithAnExtraArgumentWritesNothing)
{
    const fs::path file = directory / "a.xml";
    const auto request = parseCreateXml({L"--create-xml", file.wstring(), L"extra"});
    EXPECT_EQ(request->kind, RequestKind::Invalid);
    EXPECT_FALSE(fs::exists(file));
}

} // namespace
