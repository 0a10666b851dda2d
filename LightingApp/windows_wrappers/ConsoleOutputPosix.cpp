#include "windows_wrappers/ConsoleOutput.h"

#include <iostream>

// Only the unit tests build this side; they write to their own streams.
std::wostream& console()
{
    return std::wcout;
}
