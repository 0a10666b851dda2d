#pragma once

#include "application/Request.h"
#include "location_check/ProgramLocation.h"

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>

// Turns the program's arguments into one Request. The grammar is chosen by the
// number of arguments; anything that fits no form gives an Invalid request.
// For --create-xml FILE the parser writes the startup task file itself.
class Parser {
public:
    // Finds and checks the program that a startup task would run.
    using ProgramLocator = ProgramLocation (*)();

    explicit Parser(ProgramLocator locateProgram = locateProgramForStartupTask);
    virtual ~Parser();

    Parser(const Parser&) = delete;
    Parser& operator=(const Parser&) = delete;

    // argc counts argument 0 (the program as invoked). Call once: the Request
    // is handed over to the caller.
    std::unique_ptr<Request> parse(int argc, const wchar_t* const* argv);

    // A whole argument as an unsigned 32-bit decimal number. Leading white
    // space is allowed, anything after the digits is not, and a minus sign
    // never makes a number.
    static bool parseNumber(const std::wstring& text, std::uint32_t& number);

private:
    void parseOneArgument(const std::wstring& argument);
    void parseTwoArguments(const wchar_t* const* argv);
    void parseColorArguments(const wchar_t* const* arguments, std::size_t count);
    // Appends the argument's value when it is a number up to limit; otherwise
    // the whole request becomes Invalid.
    void appendNumber(const std::wstring& argument, std::uint32_t limit);

    ProgramLocator locateProgram;
    std::unique_ptr<Request> request;
};

// The file name part of argument 0: the text after its last backslash or
// slash, or all of it when it has neither.
std::wstring programNameOf(const std::wstring& argument0);
