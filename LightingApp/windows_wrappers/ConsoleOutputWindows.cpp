#include "windows_wrappers/ConsoleOutput.h"

#include "windows_wrappers/Utf8.h"

#include <windows.h>

#include <array>
#include <iostream>
#include <streambuf>
#include <string_view>

namespace {

// Stream buffer for standard output. The default wide stream converts through
// the "C" locale, which fails on the first character outside ASCII and then
// silently drops everything after it. This one writes wide text to a console
// as wide text, and anything else (file, pipe) as UTF-8.
class StandardOutputBuffer final : public std::wstreambuf {
public:
    StandardOutputBuffer() : output(GetStdHandle(STD_OUTPUT_HANDLE))
    {
        DWORD mode = 0;
        isConsole = output != nullptr && output != INVALID_HANDLE_VALUE && GetConsoleMode(output, &mode) != 0;
        setp(buffer.data(), buffer.data() + buffer.size());
    }

protected:
    int_type overflow(int_type character) override
    {
        if (!flushBuffer()) {
            return traits_type::eof();
        }
        if (!traits_type::eq_int_type(character, traits_type::eof())) {
            *pptr() = traits_type::to_char_type(character);
            pbump(1);
        }
        return traits_type::not_eof(character);
    }

    int sync() override { return flushBuffer() ? 0 : -1; }

private:
    bool flushBuffer()
    {
        std::wstring_view pending(pbase(), static_cast<std::size_t>(pptr() - pbase()));
        // A surrogate pair split by a full buffer waits for its second half.
        wchar_t heldBack = 0;
        if (!pending.empty() && pending.back() >= 0xD800 && pending.back() <= 0xDBFF) {
            heldBack = pending.back();
            pending.remove_suffix(1);
        }
        const bool written = pending.empty() || (isConsole ? writeToConsole(pending) : writeToFile(pending));
        setp(buffer.data(), buffer.data() + buffer.size());
        if (heldBack != 0) {
            *pptr() = heldBack;
            pbump(1);
        }
        return written;
    }

    bool writeToConsole(std::wstring_view text) const
    {
        while (!text.empty()) {
            DWORD written = 0;
            if (!WriteConsoleW(output, text.data(), static_cast<DWORD>(text.size()), &written, nullptr)
                || written == 0) {
                return false;
            }
            text.remove_prefix(written);
        }
        return true;
    }

    bool writeToFile(std::wstring_view text) const
    {
        const std::string bytes = toUtf8(text, true);
        std::string_view remaining(bytes);
        while (!remaining.empty()) {
            DWORD written = 0;
            if (!WriteFile(output, remaining.data(), static_cast<DWORD>(remaining.size()), &written, nullptr)
                || written == 0) {
                return false;
            }
            remaining.remove_prefix(written);
        }
        return true;
    }

    HANDLE output;
    bool isConsole = false;
    std::array<wchar_t, 1024> buffer{};
};

// Installs the buffer into the standard wide stream for the life of the
// program, and gives the stream its own buffer back before this one is gone.
class StandardOutputInstaller {
public:
    StandardOutputInstaller() : previous(std::wcout.rdbuf(&buffer)) {}
    ~StandardOutputInstaller()
    {
        std::wcout.flush();
        std::wcout.rdbuf(previous);
    }

    StandardOutputInstaller(const StandardOutputInstaller&) = delete;
    StandardOutputInstaller& operator=(const StandardOutputInstaller&) = delete;

private:
    StandardOutputBuffer buffer;
    std::wstreambuf* previous;
};

} // namespace

std::wostream& console()
{
    static StandardOutputInstaller installer;
    return std::wcout;
}
