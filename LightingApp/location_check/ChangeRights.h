#pragma once

#include "location_check/TrustedAccounts.h"

#include <windows.h>

// Whether only trusted accounts can change what a file or folder on the
// startup task's path holds. For the program file that is its contents, its
// attributes (which can turn it into a reparse point that leads elsewhere),
// its permissions and its owner, and deleting it; for a folder above it,
// deleting or renaming it or anything in it, its permissions and its owner.
// Adding new files or folders to a folder further up changes nothing the task
// runs, so it is allowed there (any user may create folders in the root of
// the system drive); in the program's own folder it is not, since Windows
// looks for some DLLs beside a program before it looks in System32.
enum class PathObject { File, ProgramFolder, Folder };

// True when the descriptor's owner is trusted and no access-allowed entry of
// its DACL grants an untrusted account a right that changes the object.
// Entries that only pass on to new objects (inherit-only, CREATOR OWNER,
// CREATOR GROUP) grant nothing on the object itself. Deny entries are not
// weighed: they can only take rights away, so leaving them out refuses more,
// never less. A missing or NULL DACL grants everything to everyone.
bool onlyTrustedCanChange(PSECURITY_DESCRIPTOR descriptor, PathObject object, const TrustedAccounts& trusted);
