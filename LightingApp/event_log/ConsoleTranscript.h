#pragma once

#include <streambuf>
#include <string>

// While it lives, keeps a copy of everything written to the console, so that
// what a run showed can also go into the event log. The console output itself
// is unchanged.
class ConsoleTranscript {
public:
    ConsoleTranscript();
    ~ConsoleTranscript();

    ConsoleTranscript(const ConsoleTranscript&) = delete;
    ConsoleTranscript& operator=(const ConsoleTranscript&) = delete;

    const std::wstring& text() const { return copy.text; }

private:
    // Passes every character on to the console's buffer and keeps it.
    class CopyingBuffer final : public std::wstreambuf {
    public:
        explicit CopyingBuffer(std::wstreambuf* console) : console(console) {}
        std::wstring text;

    protected:
        int_type overflow(int_type character) override;
        std::streamsize xsputn(const char_type* characters, std::streamsize count) override;
        int sync() override;

    private:
        std::wstreambuf* console;
    };

    std::wstreambuf* previous;
    CopyingBuffer copy;
};
