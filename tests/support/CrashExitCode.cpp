// Linked into every Windows test program. A program that crashes under Wine
// starts Wine's debugger, which ends it with status 0 or with the
// exception's code depending on which of them is first: ctest would now and
// then count a crash as a pass. The program ends itself here, before the
// debugger is asked, with the exception's code (never 0).
#include <windows.h>

#include <cstdio>

namespace {

LONG WINAPI endWithExceptionCode(EXCEPTION_POINTERS* exception)
{
    const DWORD code = exception->ExceptionRecord->ExceptionCode;
    std::fprintf(stderr, "test program crashed: exception 0x%08lx\n", static_cast<unsigned long>(code));
    std::fflush(stderr);
    TerminateProcess(GetCurrentProcess(), code);
    return EXCEPTION_EXECUTE_HANDLER;
}

const LPTOP_LEVEL_EXCEPTION_FILTER previousFilter = SetUnhandledExceptionFilter(endWithExceptionCode);

} // namespace
