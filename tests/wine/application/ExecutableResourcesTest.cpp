// The built VeltrinLighting.exe carries its version information, its
// application manifest and the event log's message table. The expected version and description come from the
// build (project() in the top-level CMakeLists.txt), so a version bump needs
// no change here but a resource script that ignores it fails.
#include "EventMessages.h"
#include "ProgramRun.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <array>
#include <cstdio>
#include <optional>
#include <sstream>
#include <string>
#include <vector>

namespace {

const std::wstring program = besideTestProgram(L"VeltrinLighting.exe");

std::wstring widen(const char* text)
{
    return std::wstring(text, text + std::char_traits<char>::length(text));
}

// "1.2.3" as the four numbers of a fixed version; missing parts are 0.
std::vector<WORD> versionNumbers(const std::string& version)
{
    std::vector<WORD> numbers;
    std::istringstream parts(version);
    for (std::string part; std::getline(parts, part, '.');) {
        numbers.push_back(static_cast<WORD>(std::stoul(part)));
    }
    numbers.resize(4, 0);
    return numbers;
}

class VersionResource : public ::testing::Test {
protected:
    void SetUp() override
    {
        DWORD ignored = 0;
        const DWORD size = GetFileVersionInfoSizeW(program.c_str(), &ignored);
        ASSERT_NE(size, 0u) << "no version information in the program, error " << GetLastError();
        data.resize(size);
        ASSERT_TRUE(GetFileVersionInfoW(program.c_str(), 0, size, data.data()));
    }

    // A string value in the first translation the resource lists; nothing
    // when there is no such value.
    std::optional<std::wstring> stringValue(const std::wstring& name)
    {
        struct Translation {
            WORD language;
            WORD codePage;
        };
        Translation* translation = nullptr;
        UINT length = 0;
        if (!VerQueryValueW(data.data(), L"\\VarFileInfo\\Translation",
                            reinterpret_cast<void**>(&translation), &length) ||
            length < sizeof(Translation)) {
            return std::nullopt;
        }
        wchar_t block[64];
        std::swprintf(block, 64, L"\\StringFileInfo\\%04x%04x\\", translation->language, translation->codePage);
        wchar_t* text = nullptr;
        if (!VerQueryValueW(data.data(), (block + name).c_str(), reinterpret_cast<void**>(&text), &length)) {
            return std::nullopt;
        }
        // The length counts the terminating NUL when there is one.
        std::wstring value(text, length);
        while (!value.empty() && value.back() == L'\0') {
            value.pop_back();
        }
        return value;
    }

    std::vector<unsigned char> data;
};

TEST_F(VersionResource, StringsNameTheProductAndTheProjectVersion)
{
    using Text = std::optional<std::wstring>;
    EXPECT_EQ(stringValue(L"FileVersion"), Text(widen(VELTRIN_EXPECTED_VERSION)));
    EXPECT_EQ(stringValue(L"ProductVersion"), Text(widen(VELTRIN_EXPECTED_VERSION)));
    EXPECT_EQ(stringValue(L"ProductName"), Text(L"VeltrinLighting"));
    EXPECT_EQ(stringValue(L"FileDescription"), Text(widen(VELTRIN_EXPECTED_DESCRIPTION)));
    EXPECT_EQ(stringValue(L"OriginalFilename"), Text(L"VeltrinLighting.exe"));
    EXPECT_EQ(stringValue(L"InternalName"), Text(L"VeltrinLighting"));
}

TEST_F(VersionResource, NamesNoCompany)
{
    const std::optional<std::wstring> company = stringValue(L"CompanyName");
    EXPECT_TRUE(!company || company->empty());
}

TEST_F(VersionResource, FixedNumbersMatchTheProjectVersion)
{
    VS_FIXEDFILEINFO* fixed = nullptr;
    UINT length = 0;
    ASSERT_TRUE(VerQueryValueW(data.data(), L"\\", reinterpret_cast<void**>(&fixed), &length));
    ASSERT_GE(length, sizeof(VS_FIXEDFILEINFO));
    EXPECT_EQ(fixed->dwSignature, 0xFEEF04BDu);
    EXPECT_EQ(fixed->dwFileType, static_cast<DWORD>(VFT_APP));

    const std::vector<WORD> expected = versionNumbers(VELTRIN_EXPECTED_VERSION);
    const std::vector<WORD> file = {HIWORD(fixed->dwFileVersionMS), LOWORD(fixed->dwFileVersionMS),
                                    HIWORD(fixed->dwFileVersionLS), LOWORD(fixed->dwFileVersionLS)};
    const std::vector<WORD> product = {HIWORD(fixed->dwProductVersionMS), LOWORD(fixed->dwProductVersionMS),
                                       HIWORD(fixed->dwProductVersionLS), LOWORD(fixed->dwProductVersionLS)};
    EXPECT_EQ(file, expected);
    EXPECT_EQ(product, expected);
}

// The program's resources, read without running it.
class ProgramImage : public ::testing::Test {
protected:
    void SetUp() override
    {
        module = LoadLibraryExW(program.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE | LOAD_LIBRARY_AS_IMAGE_RESOURCE);
        ASSERT_NE(module, nullptr) << "cannot load the program as a data file, error " << GetLastError();
    }
    void TearDown() override
    {
        if (module != nullptr) {
            FreeLibrary(module);
        }
    }

    HMODULE module = nullptr;
};

BOOL CALLBACK collectName(HMODULE, LPCWSTR, LPWSTR name, LONG_PTR names)
{
    auto* list = reinterpret_cast<std::vector<std::wstring>*>(names);
    list->push_back(IS_INTRESOURCE(name) ? L"#" + std::to_wstring(reinterpret_cast<ULONG_PTR>(name)) : name);
    return TRUE;
}

BOOL CALLBACK countLanguage(HMODULE, LPCWSTR, LPCWSTR, WORD, LONG_PTR count)
{
    ++*reinterpret_cast<int*>(count);
    return TRUE;
}

// A second manifest (the one some MinGW runtimes add by default, or a linker's
// own) would leave Windows free to pick either.
TEST_F(ProgramImage, HoldsExactlyOneManifestWithTheProcessId)
{
    std::vector<std::wstring> names;
    EnumResourceNamesW(module, RT_MANIFEST, collectName, reinterpret_cast<LONG_PTR>(&names));
    EXPECT_EQ(names, std::vector<std::wstring>{L"#1"});

    int languages = 0;
    EnumResourceLanguagesW(module, RT_MANIFEST, CREATEPROCESS_MANIFEST_RESOURCE_ID, countLanguage,
                           reinterpret_cast<LONG_PTR>(&languages));
    EXPECT_EQ(languages, 1);
}

TEST_F(ProgramImage, ManifestRunsAsInvokerAndNamesTheSupportedSystems)
{
    HRSRC resource = FindResourceW(module, CREATEPROCESS_MANIFEST_RESOURCE_ID, RT_MANIFEST);
    ASSERT_NE(resource, nullptr);
    HGLOBAL loaded = LoadResource(module, resource);
    ASSERT_NE(loaded, nullptr);
    const auto* bytes = static_cast<const char*>(LockResource(loaded));
    const std::string manifest(bytes, SizeofResource(module, resource));

    EXPECT_EQ(manifest.rfind("<?xml", 0), 0u) << manifest;
    EXPECT_NE(manifest.find("<requestedExecutionLevel level=\"asInvoker\""), std::string::npos) << manifest;
    // Windows 10 and 11, the systems the README supports, and no other.
    EXPECT_NE(manifest.find("<supportedOS Id=\"{8e0f7a12-bfb3-4fe8-b9a5-48fd50a15a9a}\"/>"), std::string::npos)
        << manifest;
    std::size_t entries = 0;
    for (auto at = manifest.find("<supportedOS"); at != std::string::npos; at = manifest.find("<supportedOS", at + 1)) {
        ++entries;
    }
    EXPECT_EQ(entries, 1u) << manifest;
}

// Event Viewer reads an event's text from the message table of the program
// that the source registration names, and inserts the event's strings: each
// message takes as many as the program passes for its kind, in order.
TEST_F(ProgramImage, MessageTableHoldsEachEventTextWithItsInserts)
{
    const std::pair<DWORD, std::size_t> messages[] = {
        {MSG_UNEXPECTED_FAILURE, 3}, {MSG_MODEL_NOT_SUPPORTED, 2}, {MSG_PLATFORM_CHECK_FAILED, 3},
        {MSG_FIRMWARE_CALL_FAILED, 4}, {MSG_FIRMWARE_REFUSED, 3}, {MSG_COLORS_NOT_STORED, 2},
    };
    for (const auto& [id, count] : messages) {
        SCOPED_TRACE(id & 0xFFFF);
        std::vector<std::wstring> strings;
        std::vector<DWORD_PTR> inserts;
        for (std::size_t i = 1; i <= count; ++i) {
            strings.push_back(L"<insert " + std::to_wstring(i) + L">");
        }
        for (const auto& text : strings) {
            inserts.push_back(reinterpret_cast<DWORD_PTR>(text.c_str()));
        }
        wchar_t* text = nullptr;
        const DWORD length = FormatMessageW(
            FORMAT_MESSAGE_FROM_HMODULE | FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_ARGUMENT_ARRAY, module, id,
            MAKELANGID(LANG_ENGLISH, SUBLANG_ENGLISH_US), reinterpret_cast<wchar_t*>(&text), 0,
            reinterpret_cast<va_list*>(inserts.data()));
        ASSERT_NE(length, 0u) << "no text, error " << GetLastError();
        const std::wstring message(text, length);
        LocalFree(text);
        std::size_t position = 0;
        for (const auto& insert : strings) {
            const std::size_t found = message.find(insert, position);
            ASSERT_NE(found, std::wstring::npos) << "missing or out of order: " << insert;
            position = found + insert.size();
        }
        EXPECT_EQ(message.find(L"%"), std::wstring::npos) << message;
        EXPECT_EQ(message.substr(0, 9), L"<insert 1") << "the request opens the text";
    }
}

} // namespace
