// Fuzzes the startup task text with command paths made of any characters.
// A command that the file can hold must come out as a well-formed document
// with one Command whose text reads back as the command; any other command
// must be refused by the writer without a file being written.

#include "CodePoints.h"
#include "TaskDocument.h"

#include "application/TaskXml.h"
#include "location_check/TaskFileCharacters.h"

#include "support/Require.h"
#include "support/ScratchDirectory.h"
#include "support/WideText.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <string>

namespace {

// What a Windows path can hold and XML 1.0 can carry: XML characters, less the
// control characters that no Windows path contains, and less the % that the
// Task Scheduler would expand.
bool fitsTaskFile(const std::wstring& command)
{
    const auto points = codePointsOfWide(command);
    return std::all_of(points.begin(), points.end(),
                       [](char32_t c) { return c >= 0x20 && c != U'%' && isXmlChar(c); });
}

// The text around the command, which no command may change.
struct Surroundings {
    std::wstring before;
    std::wstring after;
};

const Surroundings& surroundings()
{
    static const Surroundings parts = [] {
        const std::wstring empty = taskXmlText(L"");
        const std::wstring open = L"<Command>";
        const std::size_t split = empty.find(open + L"</Command>") + open.size();
        return Surroundings{empty.substr(0, split), empty.substr(split)};
    }();
    return parts;
}

void checkDocument(const std::wstring& command, const std::wstring& text, const std::string& fileBytes)
{
    const Surroundings& around = surroundings();
    FUZZ_REQUIRE(text.size() >= around.before.size() + around.after.size() && text.starts_with(around.before)
                     && text.ends_with(around.after),
                 "only the Command's text depends on the command");

    const TaskDocument document = readTaskDocument(fileBytes);
    if (!document.wellFormed) {
        std::fprintf(stderr, "XML reader: %s", document.error.c_str());
    }
    FUZZ_REQUIRE(document.wellFormed, "the task file is well-formed XML");
    FUZZ_REQUIRE(document.commandCount == 1, "exactly one Command element");
    FUZZ_REQUIRE(document.commandInPlace, "the Command is at Task/Actions/Exec");
    FUZZ_REQUIRE(codePointsOfUtf8(document.commandText) == codePointsOfWide(command),
                 "the Command's text reads back as the command");
}

void checkRefused(const std::wstring& command)
{
    const std::filesystem::path file = scratchDirectory() / "refused.xml";
    FUZZ_REQUIRE(!writeTaskXml(file.wstring(), command), "the writer refuses a command the file cannot hold");
    FUZZ_REQUIRE(!std::filesystem::exists(file), "a refused command writes no file");
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::wstring command = wideTextOf(data, size);
    const std::wstring text = taskXmlText(command);
    // Whatever the command, encoding the text must not fail.
    const std::string bytes = utf16LeWithBom(text);
    FUZZ_REQUIRE(bytes.size() >= 2 + 2 * text.size(), "every character gives at least one UTF-16 unit");

    const bool fits = fitsTaskFile(command);
    FUZZ_REQUIRE(taskFileCanHold(command) == fits, "the writer holds exactly the commands a task file can");
    if (fits) {
        checkDocument(command, text, bytes);
    } else {
        checkRefused(command);
    }
    return 0;
}
