#pragma once

#include <optional>
#include <string>

// Where the startup task would find this program, and whether it may run it
// from there. The task runs the program as LocalSystem at every boot and
// resume: whoever can change the file, or rename or replace a folder above
// it, would get system rights. When several refusals apply, the first of
// this list is given.
enum class ProgramVerdict {
    Accepted,
    // The running executable's own path could not be found or resolved.
    Unresolved,
    // A character that the task file cannot carry as it is (see taskFileCanHold).
    UnsafeCharacters,
    // A network path, a removable drive, a RAM disk, a disk on a bus that
    // lets it be unplugged (USB, FireWire, SD, MMC) or whose bus is unknown.
    NotOnFixedDrive,
    // Below the folder of the users' profiles, where any process of that
    // user, elevated or not, may change files.
    InProfileFolder,
    // path is the first file or folder, from the program upward, that
    // someone other than an administrator can change.
    ChangeableByUsers,
};

struct ProgramLocation {
    ProgramVerdict verdict = ProgramVerdict::Unresolved;
    // The resolved path of the program; for ChangeableByUsers the file or
    // folder that fails.
    std::wstring path;
};

// Resolves the path of the program file (links, junctions, substituted drives
// and short names followed to the file itself) and checks it.
ProgramLocation locateProgram(const std::wstring& file);

// The same for the running executable.
ProgramLocation locateProgramForStartupTask();

// The checks that need only the resolved path's text: that there is one, and
// that the task file can carry it (taskFileCanHold). The refusal, or nothing
// when the path passes them.
std::optional<ProgramLocation> refusalByText(const std::wstring& path);

// The console line that says why the task file is not written; empty when
// the location is accepted.
std::wstring refusalReason(const ProgramLocation& location);
