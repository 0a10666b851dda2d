#include "location_check/ProgramLocation.h"
#include "location_check/TaskFileCharacters.h"

#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

namespace {

// The characters that the task file refuses are tested with the writer, which
// must then write nothing (TaskXmlTest.cpp).
TEST(TaskFileCharacters, HoldAnyOtherTextThatXmlCanCarry)
{
    EXPECT_TRUE(taskFileCanHold(L""));
    EXPECT_TRUE(taskFileCanHold(L"C:\\Program Files (x86)\\Tools & Co <1>\\l\u00fcmi\u00e8re 'a' \"b\".exe"));
    EXPECT_TRUE(taskFileCanHold(L"C:\\\u007f\u0085\u00a0\ud7ff\ue000\ufffd.exe"));
    // A character outside the basic plane: a surrogate pair where wchar_t has
    // 16 bits, one value where it has 32; the pair spelt out works on both.
    EXPECT_TRUE(taskFileCanHold(L"C:\\\U0001F600\U0010FFFD.exe"));
    EXPECT_TRUE(taskFileCanHold(std::wstring{L'a', static_cast<wchar_t>(0xD83D), static_cast<wchar_t>(0xDE00)}));
}

TEST(ProgramLocation, EachRefusalHasItsLine)
{
    const std::vector<std::pair<ProgramLocation, std::wstring>> cases = {
        {{ProgramVerdict::Accepted, L"C:\\a.exe"}, L""},
        {{ProgramVerdict::Unresolved, L""}, L"The program's own path could not be determined"},
        {{ProgramVerdict::UnsafeCharacters, L"C:\\%x%\\a.exe"},
         L"The program's path holds characters that a startup task cannot carry"},
        {{ProgramVerdict::NotOnFixedDrive, L"\\\\server\\share\\a.exe"},
         L"The program is not on a fixed local drive: \\\\server\\share\\a.exe"},
        {{ProgramVerdict::InProfileFolder, L"C:\\Users\\ann\\a.exe"},
         L"The program is in a user's profile folder: C:\\Users\\ann\\a.exe"},
        {{ProgramVerdict::ChangeableByUsers, L"C:\\Tools\\a.exe"},
         L"Users other than administrators can change C:\\Tools\\a.exe"},
    };
    for (const auto& [location, reason] : cases) {
        EXPECT_EQ(refusalReason(location), reason);
    }
}

} // namespace
