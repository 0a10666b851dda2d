#pragma once

#include <string>

// The folder that holds the users' profiles (ProfilesDirectory, C:\Users
// unless it was moved), resolved like the program's path. Every process of a
// user, elevated or not, may change what lies in that user's profile.
std::wstring profilesFolder();

// Whether path lies below folder, compared as Windows compares file names:
// without regard to case.
bool liesBelow(const std::wstring& path, const std::wstring& folder);
