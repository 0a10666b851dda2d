// Fuzzes the command-line parser with argument lists of any length and wide
// text of any value (argument 0 included), and checks what it returns against
// the grammar.

#include "ExpectedRequest.h"

#include "application/Parser.h"
#include "application/TaskXml.h"
#include "location_check/ExecutablePath.h"

#include "support/Require.h"
#include "support/ScratchDirectory.h"
#include "support/WideText.h"

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

namespace {

bool isKnownKind(RequestKind kind)
{
    switch (kind) {
    case RequestKind::Invalid:
    case RequestKind::Restore:
    case RequestKind::Default:
    case RequestKind::Help:
    case RequestKind::Brightness:
    case RequestKind::Colors:
    case RequestKind::CreateTaskFile:
    case RequestKind::Status:
        return true;
    }
    return false;
}

bool isSeparator(wchar_t c)
{
    return c == L'\\' || c == L'/';
}

// The parser sees each argument only up to its first NUL, as a program does.
void cutAtNul(std::vector<std::wstring>& arguments)
{
    for (auto& argument : arguments) {
        argument = argument.substr(0, argument.find(L'\0'));
    }
}

// "--create-xml FILE" writes FILE. The file name from the input is replaced by
// one in a private scratch directory, so that no input writes anywhere else.
std::filesystem::path redirectTaskFile(std::vector<std::wstring>& arguments)
{
    if (arguments.size() != 3 || arguments[1] != L"--create-xml") {
        return {};
    }
    const std::filesystem::path file = scratchDirectory() / "task.xml";
    arguments[2] = file.wstring();
    return file;
}

std::string bytesOf(const std::filesystem::path& file)
{
    std::ifstream in(file, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

void checkProgramName(const std::wstring& name, const std::vector<std::wstring>& arguments)
{
    const std::wstring argument0 = arguments.empty() ? std::wstring() : arguments[0];
    FUZZ_REQUIRE(argument0.ends_with(name), "the program name is a suffix of argument 0");
    FUZZ_REQUIRE(name.find_first_of(L"\\/") == std::wstring::npos, "the program name has no separator");
    const std::size_t start = argument0.size() - name.size();
    FUZZ_REQUIRE(start == 0 || isSeparator(argument0[start - 1]),
                 "the program name is everything after the last separator");
}

void checkValues(const Request& request)
{
    if (request.kind == RequestKind::Colors) {
        FUZZ_REQUIRE(request.values.size() == 8, "a colour request carries eight values");
        FUZZ_REQUIRE(request.values[3] <= 100 && request.values[7] <= 100, "brightness at most 100");
    }
    if (request.kind == RequestKind::Brightness) {
        FUZZ_REQUIRE(request.values.size() == 2, "a brightness request carries two values");
        FUZZ_REQUIRE(request.values[0] <= 100 && request.values[1] <= 100, "brightness at most 100");
    }
}

void checkTaskFile(const Request& request, const std::filesystem::path& redirected)
{
    if (request.kind != RequestKind::CreateTaskFile) {
        FUZZ_REQUIRE(request.taskFile.empty() && !request.taskFileWritten && request.taskFileReason.empty(),
                     "no task file outside --create-xml");
        return;
    }
    FUZZ_REQUIRE(request.taskFile == redirected.wstring(), "the task file is the one named");
    FUZZ_REQUIRE(request.taskFileWritten && request.taskFileReason.empty(), "the task file was written");
    FUZZ_REQUIRE(bytesOf(redirected) == utf16LeWithBom(taskXmlText(currentExecutablePath())),
                 "the task file names this executable");
    std::filesystem::remove(redirected);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    std::vector<std::wstring> arguments = argumentsOf(data, size);
    cutAtNul(arguments);
    const std::filesystem::path taskFile = redirectTaskFile(arguments);

    std::vector<const wchar_t*> argv;
    for (const auto& argument : arguments) {
        argv.push_back(argument.c_str());
    }
    argv.push_back(nullptr);

    const auto request = Parser().parse(static_cast<int>(arguments.size()), argv.data());
    FUZZ_REQUIRE(request != nullptr, "parse returns a request");
    FUZZ_REQUIRE(isKnownKind(request->kind), "the kind is one of the enum values");

    const ExpectedRequest expected = expectedRequestFor(arguments);
    FUZZ_REQUIRE(expected.allows(request->kind), "the kind fits the grammar");
    if (expected.values && request->kind != RequestKind::Invalid) {
        FUZZ_REQUIRE(request->values == *expected.values, "the values are the numbers given");
    }
    checkValues(*request);
    FUZZ_REQUIRE(request->statusAsJson == (arguments.size() == 3 && request->kind == RequestKind::Status),
                 "JSON only for \"status --json\"");
    checkProgramName(request->programName, arguments);
    checkTaskFile(*request, taskFile);
    return 0;
}
