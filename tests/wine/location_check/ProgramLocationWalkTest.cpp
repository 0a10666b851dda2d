#include "SecurityDescriptors.h"

#include "location_check/LocationLookups.h"
#include "location_check/TrustedAccounts.h"

#include <sddl.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <string>
#include <vector>

namespace {

// As Windows sets up C:\Program Files and what is installed below it.
const std::wstring administratorsOnly = L"O:BAD:(A;;FA;;;SY)(A;;FA;;;BA)(A;;0x1200a9;;;BU)";
// As the root of the system drive: Authenticated Users may add files and folders.
const std::wstring usersMayAdd = L"O:SYD:(A;;FA;;;SY)(A;;FA;;;BA)(A;;0x1200a9;;;BU)(A;;0x6;;;AU)";
const std::wstring usersMayModify = L"O:BAD:(A;;FA;;;BA)(A;;0x1301bf;;;BU)";

constexpr DriveFacts systemDisk{DRIVE_FIXED, BusTypeNvme};

// One machine as the location check's lookups see it.
struct Machine {
    // The program's final path as Windows answers it.
    std::wstring finalPath{};
    // Where its volume is mounted, and what that volume is.
    std::wstring volume = L"C:\\";
    DriveFacts drive = systemDisk;
    // The users' profiles folder, resolved as profilesFolder() resolves it.
    std::wstring profilesFolder = L"C:\\Users";
    // Descriptors of the files and folders that differ from
    // administratorsOnly (the drive's root: usersMayAdd).
    std::map<std::wstring, std::wstring> sddl{};
    // The running administrator's token as UAC filters it: Administrators
    // for deny only.
    bool filteredToken = false;
};

struct WalkCase {
    const char* name;
    Machine machine;
    ProgramVerdict verdict;
    std::wstring path;
};

UniqueHandle ownToken(DWORD access)
{
    UniqueHandle token;
    EXPECT_TRUE(OpenProcessToken(GetCurrentProcess(), access, token.receive()));
    return token;
}

UniqueHandle filteredToken()
{
    SidBytes administrators = sidFromString(WellKnownSids::administrators);
    SID_AND_ATTRIBUTES denyOnly{administrators.data(), 0};
    UniqueHandle filtered;
    EXPECT_TRUE(CreateRestrictedToken(ownToken(TOKEN_DUPLICATE | TOKEN_QUERY).get(), 0, 1, &denyOnly, 0, nullptr, 0,
                                      nullptr, filtered.receive()));
    return filtered;
}

std::wstring ownAccount()
{
    std::vector<ULONG_PTR> buffer(64);
    DWORD size = 0;
    EXPECT_TRUE(GetTokenInformation(ownToken(TOKEN_QUERY).get(), TokenUser, buffer.data(),
                                    static_cast<DWORD>(buffer.size() * sizeof(ULONG_PTR)), &size));
    wchar_t* text = nullptr;
    EXPECT_TRUE(ConvertSidToStringSidW(reinterpret_cast<TOKEN_USER*>(buffer.data())->User.Sid, &text));
    const LocalPointer<wchar_t> owned(text);
    return text;
}

// Only the program and the folders above it exist: a walk that asks for
// anything else reads no descriptor, and refuses.
bool existsOn(const Machine& machine, const std::wstring& path)
{
    const std::wstring program = machine.finalPath.substr(std::min<std::size_t>(machine.finalPath.size(), 4));
    const std::wstring folder = path.ends_with(L'\\') ? path : path + L'\\';
    return path == program || program.starts_with(folder);
}

LocationLookups lookupsOf(const Machine& machine)
{
    return {
        [&machine](const std::wstring&) { return machine.finalPath; },
        [&machine](const std::wstring&) { return machine.volume; },
        [&machine](const std::wstring& volume) { return volume == machine.volume ? machine.drive : systemDisk; },
        [&machine] { return machine.profilesFolder; },
        [&machine](const std::wstring& path) {
            if (!existsOn(machine, path)) {
                return LocalPointer<void>();
            }
            const auto found = machine.sddl.find(path);
            return descriptorOf(found != machine.sddl.end() ? found->second
                                    : path.size() == 3      ? usersMayAdd
                                                            : administratorsOnly);
        },
        [&machine] { return machine.filteredToken ? filteredToken() : ownToken(TOKEN_QUERY); },
    };
}

// A folder whose path is longer than MAX_PATH.
std::wstring longFolder()
{
    std::wstring path = L"C:\\Program Files\\Veltrin";
    while (path.size() <= MAX_PATH) {
        path += L"\\a long folder name";
    }
    return path;
}

TEST(ProgramLocation, TheWalkRefusesWhatOthersCouldChangeOrSwap)
{
    const std::wstring installed = L"C:\\Program Files\\Veltrin\\lighting.exe";
    const std::wstring administrator = ownAccount();
    const std::wstring installedFinal = L"\\\\?\\" + installed;
    const WalkCase cases[] = {
        {"installed", {.finalPath = installedFinal}, ProgramVerdict::Accepted, installed},
        {"no final path", {}, ProgramVerdict::Unresolved, L""},
        {"users write owner on a folder above",
         {.finalPath = installedFinal, .sddl = {{L"C:\\Program Files", L"O:BAD:(A;;FA;;;BA)(A;;WO;;;BU)"}}},
         ProgramVerdict::ChangeableByUsers,
         L"C:\\Program Files"},
        {"users may add to a folder above",
         {.finalPath = installedFinal, .sddl = {{L"C:\\Program Files", usersMayAdd}}},
         ProgramVerdict::Accepted,
         installed},
        {"users may add to the program's own folder",
         {.finalPath = installedFinal, .sddl = {{L"C:\\Program Files\\Veltrin", usersMayAdd}}},
         ProgramVerdict::ChangeableByUsers,
         L"C:\\Program Files\\Veltrin"},
        {"in the drive's root", {.finalPath = L"\\\\?\\C:\\lighting.exe"}, ProgramVerdict::ChangeableByUsers, L"C:\\"},
        {"only the drive's root writable by users",
         {.finalPath = installedFinal, .sddl = {{L"C:\\", usersMayModify}}},
         ProgramVerdict::ChangeableByUsers,
         L"C:\\"},
        {"a network share",
         {.finalPath = L"\\\\?\\UNC\\server\\share\\lighting.exe",
          .volume = L"\\\\server\\share\\",
          .drive = {DRIVE_REMOTE, {}}},
         ProgramVerdict::NotOnFixedDrive,
         L"\\\\server\\share\\lighting.exe"},
        {"a USB disk that reports as fixed",
         {.finalPath = L"\\\\?\\E:\\lighting.exe", .volume = L"E:\\", .drive = {DRIVE_FIXED, BusTypeUsb}},
         ProgramVerdict::NotOnFixedDrive,
         L"E:\\lighting.exe"},
        {"an SD card mounted into a folder of C:",
         {.finalPath = L"\\\\?\\C:\\Cards\\lighting.exe", .volume = L"C:\\Cards\\", .drive = {DRIVE_FIXED, BusTypeSd}},
         ProgramVerdict::NotOnFixedDrive,
         L"C:\\Cards\\lighting.exe"},
        // Before the rights, which the administrator's own profile passes.
        {"a user's profile",
         {.finalPath = L"\\\\?\\C:\\USERS\\ann\\lighting.exe", .sddl = {{L"C:\\USERS\\ann", usersMayModify}}},
         ProgramVerdict::InProfileFolder,
         L"C:\\USERS\\ann\\lighting.exe"},
        // C:\Users a junction to D:\Profiles: the program's final path and
        // the profiles folder both name the target.
        {"a profiles folder reached through a junction",
         {.finalPath = L"\\\\?\\D:\\Profiles\\ann\\lighting.exe", .volume = L"D:\\", .profilesFolder = L"D:\\Profiles"},
         ProgramVerdict::InProfileFolder,
         L"D:\\Profiles\\ann\\lighting.exe"},
        {"beside the profiles",
         {.finalPath = L"\\\\?\\C:\\UsersData\\lighting.exe"},
         ProgramVerdict::Accepted,
         L"C:\\UsersData\\lighting.exe"},
        {"a path longer than MAX_PATH",
         {.finalPath = L"\\\\?\\" + longFolder() + L"\\lighting.exe", .sddl = {{longFolder(), usersMayModify}}},
         ProgramVerdict::ChangeableByUsers,
         longFolder()},
        {"the running administrator's folder, from a filtered token",
         {.finalPath = installedFinal,
          .sddl = {{L"C:\\Program Files\\Veltrin",
                    L"O:" + administrator + L"D:(A;;FA;;;" + administrator + L")(A;;FA;;;SY)"}},
          .filteredToken = true},
         ProgramVerdict::Accepted,
         installed},
    };
    for (const WalkCase& c : cases) {
        SCOPED_TRACE(c.name);
        const ProgramLocation location = locateProgram(L"lighting.exe", lookupsOf(c.machine));
        EXPECT_EQ(location.verdict, c.verdict);
        EXPECT_EQ(location.path, c.path);
    }
}

TEST(DriveFacts, OnlyFixedDrivesOnBusesThatKeepTheirDisksAreLocal)
{
    const struct {
        DriveFacts drive;
        bool fixedLocal;
    } cases[] = {
        {{DRIVE_FIXED, BusTypeSata}, true},      {{DRIVE_FIXED, BusTypeNvme}, true},
        {{DRIVE_FIXED, BusTypeRAID}, true},      {{DRIVE_FIXED, BusTypeUsb}, false},
        {{DRIVE_FIXED, BusType1394}, false},     {{DRIVE_FIXED, BusTypeSd}, false},
        {{DRIVE_FIXED, BusTypeMmc}, false},      {{DRIVE_FIXED, {}}, false},
        {{DRIVE_REMOVABLE, BusTypeSata}, false}, {{DRIVE_REMOTE, BusTypeSata}, false},
        {{DRIVE_RAMDISK, BusTypeSata}, false},   {{DRIVE_CDROM, BusTypeAtapi}, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << "drive type " << c.drive.type << ", bus "
                                        << c.drive.bus.value_or(BusTypeMaxReserved));
        EXPECT_EQ(isFixedLocalDrive(c.drive), c.fixedLocal);
    }
}

} // namespace
