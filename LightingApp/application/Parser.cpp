#include "application/Parser.h"

#include "application/TaskXml.h"
#include "colorizers/ZoneColors.h"

#include <sstream>

namespace {

bool isHelpKeyword(const std::wstring& argument)
{
    return argument == L"help" || argument == L"-h" || argument == L"/?";
}

// Every fourth number of a colour request is that zone's brightness.
std::uint32_t limitForColorArgument(std::size_t index)
{
    return index % 4 == 3 ? maxBrightness : maxColorValue;
}

} // namespace

std::wstring programNameOf(const std::wstring& argument0)
{
    const auto lastSeparator = argument0.find_last_of(L"\\/");
    return lastSeparator == std::wstring::npos ? argument0 : argument0.substr(lastSeparator + 1);
}

Parser::Parser(ProgramLocator locateProgram) : locateProgram(locateProgram), request(std::make_unique<Request>()) {}

Parser::~Parser() = default;

std::unique_ptr<Request> Parser::parse(int argc, const wchar_t* const* argv)
{
    request->programName = programNameOf(argc > 0 ? argv[0] : L"");

    switch (argc) {
    case 1:
        request->kind = RequestKind::Restore;
        break;
    case 2:
        parseOneArgument(argv[1]);
        break;
    case 3:
        parseTwoArguments(argv);
        break;
    case 5:
        parseColorArguments(argv + 1, 4);
        break;
    case 9:
        parseColorArguments(argv + 1, 8);
        break;
    default:
        request->kind = RequestKind::Invalid;
        break;
    }
    return std::move(request);
}

void Parser::parseOneArgument(const std::wstring& argument)
{
    if (isHelpKeyword(argument)) {
        request->kind = RequestKind::Help;
        return;
    }
    if (argument == L"default") {
        request->kind = RequestKind::Default;
        return;
    }
    if (argument == L"status") {
        request->kind = RequestKind::Status;
        return;
    }
    std::uint32_t brightness = 0;
    if (parseNumber(argument, brightness) && brightness <= maxBrightness) {
        request->kind = RequestKind::Brightness;
        // One brightness applies to both zones.
        request->values.assign(2, static_cast<std::uint8_t>(brightness));
        return;
    }
    request->kind = RequestKind::Invalid;
}

void Parser::parseTwoArguments(const wchar_t* const* argv)
{
    if (std::wstring(argv[1]) == L"--create-xml") {
        request->kind = RequestKind::CreateTaskFile;
        request->taskFile = argv[2];
        // The task runs as LocalSystem with no working directory: it names
        // this very executable by its resolved full path (never as typed),
        // and only where no one but administrators can change it.
        const ProgramLocation program = locateProgram();
        request->taskFileReason = refusalReason(program);
        if (request->taskFileReason.empty()) {
            request->taskFileWritten = writeTaskXml(request->taskFile, program.path);
        }
        return;
    }

    if (std::wstring(argv[1]) == L"status" && std::wstring(argv[2]) == L"--json") {
        request->kind = RequestKind::Status;
        request->statusAsJson = true;
        return;
    }

    request->kind = RequestKind::Brightness;
    appendNumber(argv[1], maxBrightness);
    appendNumber(argv[2], maxBrightness);
}

void Parser::parseColorArguments(const wchar_t* const* arguments, std::size_t count)
{
    request->kind = RequestKind::Colors;
    for (std::size_t i = 0; i < count; ++i) {
        appendNumber(arguments[i], limitForColorArgument(i));
    }
    if (count == 4) {
        // One colour given: zone 2 gets the same as zone 1.
        const auto zone1 = request->values;
        request->values.insert(request->values.end(), zone1.begin(), zone1.end());
    }
}

void Parser::appendNumber(const std::wstring& argument, std::uint32_t limit)
{
    std::uint32_t number = 0;
    if (parseNumber(argument, number) && number <= limit) {
        request->values.push_back(static_cast<std::uint8_t>(number));
    } else {
        request->kind = RequestKind::Invalid;
    }
}

bool Parser::parseNumber(const std::wstring& text, std::uint32_t& number)
{
    // The stream takes the character whose value equals its end-of-file
    // marker (U+FFFF where wchar_t has 16 bits) for the end of the text, so
    // "7" followed by it and anything else would read as 7. It is never part
    // of a number.
    using Traits = std::wistringstream::traits_type;
    for (const wchar_t c : text) {
        if (Traits::eq_int_type(Traits::to_int_type(c), Traits::eof())) {
            return false;
        }
    }
    // The standard extraction of an unsigned number accepts a minus sign and
    // wraps the value around (-4294967295 reads as 1); a negative brightness
    // must never pass as a number. The sign is looked for after the same
    // white space that the extraction itself skips.
    std::wistringstream stream(text);
    stream >> std::ws;
    if (stream.peek() == L'-') {
        return false;
    }
    std::uint32_t value = 0;
    stream >> value;
    if (stream.fail() || !stream.eof()) {
        return false;
    }
    number = value;
    return true;
}
