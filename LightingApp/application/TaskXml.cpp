#include "application/TaskXml.h"

#include "location_check/TaskFileCharacters.h"
#include "windows_wrappers/FileReplacement.h"

#include <array>
#include <cstdint>
#include <string_view>

namespace {

// Lines 1 to 46 up to and including the opening <Command> tag.
constexpr std::array<std::wstring_view, 46> linesBeforeCommand = {
    L"<?xml version=\"1.0\" encoding=\"UTF-16\"?>",
    L"<Task version=\"1.4\" xmlns=\"http://schemas.microsoft.com/windows/2004/02/mit/task\">",
    L"  <RegistrationInfo>",
    L"    <Date>2019-05-02T11:13:53.5040613</Date>",
    L"    <Author>Orvane Inc.</Author>",
    L"    <Description>Runs the Orvane VR Veltrin Lighting Utility to set color on startup and resume.</Description>",
    L"    <URI>\\OrvaneVRVeltrinLightingUtilityStartup</URI>",
    L"  </RegistrationInfo>",
    L"  <Triggers>",
    L"    <EventTrigger>",
    L"      <Enabled>true</Enabled>",
    // The kernel power provider logs event 107 on resume from sleep or
    // hibernation, and 507 when a machine with Modern Standby leaves it
    // (such machines never log 107). The kernel boot provider logs event 27
    // at every start, whatever its boot type: a cold boot, a start from Fast
    // Startup (which resumes the hibernated system session, so that the boot
    // trigger, tied to the Task Scheduler service's start, does not fire) or
    // a resume from hibernation. Group Policy logs event 1502 when it applied
    // new settings for the computer, so that a colour policy takes effect at
    // the refresh that brings it.
    L"      <Subscription>&lt;QueryList&gt;&lt;Query Id=\"0\" Path=\"System\"&gt;&lt;Select Path=\"System\"&gt;"
    L"*[System[(Provider[@Name='Microsoft-Windows-Kernel-Power'] and (EventID=107 or EventID=507))"
    L" or (Provider[@Name='Microsoft-Windows-Kernel-Boot'] and EventID=27)"
    L" or (Provider[@Name='Microsoft-Windows-GroupPolicy'] and EventID=1502)]]"
    L"&lt;/Select&gt;&lt;/Query&gt;&lt;/QueryList&gt;</Subscription>",
    L"    </EventTrigger>",
    L"    <BootTrigger>",
    L"      <Enabled>true</Enabled>",
    L"    </BootTrigger>",
    L"  </Triggers>",
    L"  <Principals>",
    L"    <Principal id=\"Author\">",
    L"      <UserId>S-1-5-18</UserId>",
    L"      <RunLevel>LeastPrivilege</RunLevel>",
    L"    </Principal>",
    L"  </Principals>",
    L"  <Settings>",
    L"    <MultipleInstancesPolicy>StopExisting</MultipleInstancesPolicy>",
    L"    <DisallowStartIfOnBatteries>false</DisallowStartIfOnBatteries>",
    L"    <StopIfGoingOnBatteries>false</StopIfGoingOnBatteries>",
    L"    <AllowHardTerminate>true</AllowHardTerminate>",
    L"    <StartWhenAvailable>false</StartWhenAvailable>",
    L"    <RunOnlyIfNetworkAvailable>false</RunOnlyIfNetworkAvailable>",
    L"    <IdleSettings>",
    L"      <StopOnIdleEnd>true</StopOnIdleEnd>",
    L"      <RestartOnIdle>false</RestartOnIdle>",
    L"    </IdleSettings>",
    L"    <AllowStartOnDemand>true</AllowStartOnDemand>",
    L"    <Enabled>true</Enabled>",
    L"    <Hidden>false</Hidden>",
    L"    <RunOnlyIfIdle>false</RunOnlyIfIdle>",
    L"    <UseUnifiedSchedulingEngine>true</UseUnifiedSchedulingEngine>",
    L"    <WakeToRun>false</WakeToRun>",
    L"    <ExecutionTimeLimit>PT72H</ExecutionTimeLimit>",
    L"    <Priority>7</Priority>",
    L"  </Settings>",
    L"  <Actions Context=\"Author\">",
    L"    <Exec>",
    L"      <Command>",
};

constexpr std::wstring_view commandClose = L"</Command>";

constexpr std::array<std::wstring_view, 3> linesAfterCommand = {
    L"    </Exec>",
    L"  </Actions>",
    L"</Task>",
};

constexpr std::wstring_view lineBreak = L"\r\n";

void appendUtf16Unit(std::string& bytes, std::uint32_t unit)
{
    bytes.push_back(static_cast<char>(unit & 0xFFU));
    bytes.push_back(static_cast<char>((unit >> 8) & 0xFFU));
}

} // namespace

std::wstring xmlEscape(const std::wstring& text)
{
    std::wstring escaped;
    escaped.reserve(text.size());
    for (const wchar_t c : text) {
        switch (c) {
        case L'&':
            escaped += L"&amp;";
            break;
        case L'<':
            escaped += L"&lt;";
            break;
        case L'>':
            escaped += L"&gt;";
            break;
        default:
            escaped += c;
            break;
        }
    }
    return escaped;
}

std::wstring taskXmlText(const std::wstring& command)
{
    std::wstring text;
    for (std::size_t i = 0; i < linesBeforeCommand.size(); ++i) {
        if (i > 0) {
            text += lineBreak;
        }
        text += linesBeforeCommand[i];
    }
    // The command stays on the line of its opening tag.
    text += xmlEscape(command);
    text += commandClose;
    for (const auto line : linesAfterCommand) {
        text += lineBreak;
        text += line;
    }
    return text;
}

std::string utf16LeWithBom(const std::wstring& text)
{
    std::string bytes;
    bytes.reserve(2 + 2 * text.size());
    appendUtf16Unit(bytes, 0xFEFF);
    for (const wchar_t c : text) {
        const auto codePoint = static_cast<std::uint32_t>(c);
        if (codePoint > 0xFFFF) {
            // Only where wchar_t is 32 bits wide: a surrogate pair.
            const std::uint32_t offset = codePoint - 0x10000;
            appendUtf16Unit(bytes, 0xD800 + (offset >> 10));
            appendUtf16Unit(bytes, 0xDC00 + (offset & 0x3FF));
        } else {
            appendUtf16Unit(bytes, codePoint);
        }
    }
    return bytes;
}

bool writeTaskXml(const std::wstring& file, const std::wstring& command)
{
    if (!taskFileCanHold(command)) {
        return false;
    }
    return replaceFile(file, utf16LeWithBom(taskXmlText(command)));
}
