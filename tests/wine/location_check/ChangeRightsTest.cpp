#include "SecurityDescriptors.h"

#include "location_check/ChangeRights.h"
#include "windows_wrappers/LocalPointer.h"

#include <sddl.h>

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

namespace {

// The administrator who would run --create-xml, and another user.
#define ADMINISTRATOR L"S-1-5-21-1-2-3-1001"
#define OTHER_USER L"S-1-5-21-1-2-3-1002"
#define ADMINISTRATORS_OWN L"O:" ADMINISTRATOR L"D:(A;OICI;FA;;;" ADMINISTRATOR L")(A;OICI;FA;;;SY)"
#define TRUSTED_INSTALLER L"S-1-5-80-956008885-3418522649-1831038044-1853292631-2271478464"

struct Case {
    const char* name;
    const wchar_t* sddl;
    PathObject object;
    bool onlyTrusted;
};

const Case cases[] = {
    // As Windows sets them up.
    {"C:\\Program Files", L"O:" TRUSTED_INSTALLER L"G:" TRUSTED_INSTALLER
     L"D:PAI(A;;FA;;;" TRUSTED_INSTALLER L")(A;CIIO;GA;;;" TRUSTED_INSTALLER L")(A;;0x1301bf;;;SY)(A;OICIIO;GA;;;SY)"
     L"(A;;0x1301bf;;;BA)(A;OICIIO;GA;;;BA)(A;;0x1200a9;;;BU)(A;OICIIO;GXGR;;;BU)(A;OICIIO;GA;;;CO)"
     L"(A;;0x1200a9;;;S-1-15-2-1)(A;OICIIO;GXGR;;;S-1-15-2-1)",
     PathObject::Folder, true},
    {"a program below it", L"O:BAG:SYD:AI(A;ID;FA;;;SY)(A;ID;FA;;;BA)(A;ID;0x1200a9;;;BU)(A;ID;0x1200a9;;;S-1-15-2-1)",
     PathObject::File, true},
    {"C:\\, where users may add folders", L"O:" TRUSTED_INSTALLER L"D:PAI(A;OICI;FA;;;BA)(A;OICI;FA;;;SY)"
     L"(A;OICI;0x1200a9;;;BU)(A;OICIIO;SDGXGWGR;;;AU)(A;;0x4;;;AU)",
     PathObject::Folder, true},
    {"the administrator's own folder", ADMINISTRATORS_OWN, PathObject::Folder, true},
    {"entries for new objects only", L"O:BAD:(A;;FA;;;BA)(A;OICIIO;FW;;;BU)(A;;FA;;;CO)(A;;FA;;;CG)",
     PathObject::File, true},
    {"a deny entry", L"O:BAD:(D;;FA;;;WD)(A;;FA;;;BA)", PathObject::File, true},
    // Adding files and folders, and generic write, change no folder further
    // up; they change a file, and the program's own folder, where a DLL added
    // beside the program may be loaded into it.
    {"users add to a folder", L"O:BAD:(A;;FA;;;BA)(A;;0x6;;;BU)(A;;GW;;;BU)", PathObject::Folder, true},
    {"users add files beside the program", L"O:BAD:(A;;FA;;;BA)(A;;0x2;;;BU)", PathObject::ProgramFolder, false},
    {"users add folders beside the program", L"O:BAD:(A;;FA;;;BA)(A;;0x4;;;AU)", PathObject::ProgramFolder, false},
    {"users generic write beside the program", L"O:BAD:(A;;FA;;;BA)(A;;GW;;;BU)", PathObject::ProgramFolder, false},
    {"users read beside the program", L"O:BAD:(A;;FA;;;BA)(A;;0x1200a9;;;BU)", PathObject::ProgramFolder, true},
    {"users write a file", L"O:BAD:(A;;FA;;;BA)(A;;0x2;;;BU)", PathObject::File, false},
    {"users append to a file", L"O:BAD:(A;;FA;;;BA)(A;;0x4;;;BU)", PathObject::File, false},
    {"users generic write on a file", L"O:BAD:(A;;FA;;;BA)(A;;GW;;;BU)", PathObject::File, false},
    {"users delete children", L"O:BAD:(A;;FA;;;BA)(A;;0x40;;;BU)", PathObject::Folder, false},
    {"Users modify", L"O:BAD:(A;OICI;FA;;;BA)(A;OICI;0x1301bf;;;BU)", PathObject::Folder, false},
    {"Authenticated Users modify", L"O:BAD:(A;OICI;FA;;;BA)(A;OICI;0x1301bf;;;AU)", PathObject::Folder, false},
    {"Everyone write DAC only", L"O:BAD:(A;;FA;;;BA)(A;;WD;;;WD)", PathObject::Folder, false},
    {"Everyone write owner on a file", L"O:BAD:(A;;FA;;;BA)(A;;WO;;;WD)", PathObject::File, false},
    {"Everyone write owner on a folder", L"O:BAD:(A;;FA;;;BA)(A;;WO;;;WD)", PathObject::Folder, false},
    // Enough to make the file a reparse point that leads elsewhere.
    {"users write attributes of a file", L"O:BAD:(A;;FA;;;BA)(A;;0x100;;;BU)", PathObject::File, false},
    {"Everyone generic all", L"O:BAD:(A;;FA;;;BA)(A;;GA;;;WD)", PathObject::Folder, false},
    {"another user's full control", L"O:BAD:(A;;FA;;;BA)(A;;FA;;;" OTHER_USER L")", PathObject::File, false},
    {"an untrusted owner", L"O:" OTHER_USER L"D:(A;;FA;;;BA)", PathObject::File, false},
    {"no owner", L"D:(A;;FA;;;BA)", PathObject::File, false},
    {"no DACL", L"O:BA", PathObject::File, false},
};

// A descriptor owned by Administrators whose DACL holds one allow entry of a
// kind Wine's SDDL reader does not know (OA, ZA, XA), for Users. The entry is
// laid out by hand: an object kind without object types, so that the SID
// follows the mask and the flags; a callback entry without a condition, so
// that it ends with the SID.
class HandBuiltDescriptor {
public:
    HandBuiltDescriptor(BYTE kind, ACCESS_MASK mask)
    {
        const SidBytes users = sidFromString(L"S-1-5-32-545");
        const DWORD objectFlags = 0;
        const std::size_t flagsSize = kind == ACCESS_ALLOWED_CALLBACK_ACE_TYPE ? 0 : sizeof(objectFlags);
        const auto entrySize = static_cast<WORD>(sizeof(ACE_HEADER) + sizeof(mask) + flagsSize + users.size());
        const ACE_HEADER header{kind, 0, entrySize};
        std::vector<BYTE> entry(entrySize);
        std::memcpy(entry.data(), &header, sizeof(header));
        std::memcpy(entry.data() + sizeof(header), &mask, sizeof(mask));
        std::memcpy(entry.data() + sizeof(header) + sizeof(mask), &objectFlags, flagsSize);
        std::memcpy(entry.data() + entrySize - users.size(), users.data(), users.size());
        acl.resize(sizeof(ACL) / sizeof(DWORD) + entrySize / sizeof(DWORD) + 1);
        const auto aclSize = static_cast<DWORD>(acl.size() * sizeof(DWORD));
        EXPECT_TRUE(InitializeAcl(dacl(), aclSize, ACL_REVISION_DS));
        EXPECT_TRUE(AddAce(dacl(), ACL_REVISION_DS, MAXDWORD, entry.data(), entrySize));
        EXPECT_TRUE(InitializeSecurityDescriptor(&descriptor, SECURITY_DESCRIPTOR_REVISION));
        EXPECT_TRUE(SetSecurityDescriptorOwner(&descriptor, owner.data(), FALSE));
        EXPECT_TRUE(SetSecurityDescriptorDacl(&descriptor, TRUE, dacl(), FALSE));
    }
    PSECURITY_DESCRIPTOR get() { return &descriptor; }

private:
    PACL dacl() { return reinterpret_cast<PACL>(acl.data()); }

    SidBytes owner = sidFromString(WellKnownSids::administrators);
    std::vector<DWORD> acl;
    SECURITY_DESCRIPTOR descriptor{};
};

TEST(ChangeRights, OnlyTrustedAccountsMayChangeWhatTheStartupTaskRuns)
{
    const TrustedAccounts trusted(sidFromString(ADMINISTRATOR));
    ASSERT_FALSE(sidFromString(ADMINISTRATOR).empty());
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const LocalPointer<void> descriptor = descriptorOf(c.sddl);
        ASSERT_TRUE(descriptor);
        EXPECT_EQ(onlyTrustedCanChange(descriptor.get(), c.object, trusted), c.onlyTrusted);
    }
    // An administrator's account is trusted only while that administrator runs the program.
    EXPECT_FALSE(onlyTrustedCanChange(descriptorOf(ADMINISTRATORS_OWN).get(), PathObject::Folder, TrustedAccounts({})));

    // A NULL DACL grants everyone everything. (Wine reads D:NO_ACCESS_CONTROL
    // as an empty DACL, so this one is built by hand.)
    SECURITY_DESCRIPTOR nullDacl{};
    SidBytes administrators = sidFromString(WellKnownSids::administrators);
    ASSERT_TRUE(InitializeSecurityDescriptor(&nullDacl, SECURITY_DESCRIPTOR_REVISION));
    ASSERT_TRUE(SetSecurityDescriptorOwner(&nullDacl, administrators.data(), FALSE));
    ASSERT_TRUE(SetSecurityDescriptorDacl(&nullDacl, TRUE, nullptr, FALSE));
    EXPECT_FALSE(onlyTrustedCanChange(&nullDacl, PathObject::Folder, trusted));

    // Whom an object entry names is not read: one that grants a change right
    // refuses. A callback entry is weighed as if its condition held.
    const struct {
        BYTE kind;
        ACCESS_MASK mask;
        PathObject object;
        bool onlyTrusted;
    } handBuilt[] = {
        {ACCESS_ALLOWED_OBJECT_ACE_TYPE, WRITE_DAC, PathObject::Folder, false},
        {ACCESS_ALLOWED_OBJECT_ACE_TYPE, FILE_GENERIC_READ, PathObject::Folder, true},
        {ACCESS_ALLOWED_CALLBACK_OBJECT_ACE_TYPE, WRITE_DAC, PathObject::Folder, false},
        {ACCESS_ALLOWED_CALLBACK_OBJECT_ACE_TYPE, FILE_GENERIC_READ, PathObject::Folder, true},
        {ACCESS_ALLOWED_CALLBACK_ACE_TYPE, FILE_WRITE_DATA, PathObject::File, false},
    };
    for (const auto& c : handBuilt) {
        SCOPED_TRACE(testing::Message() << "entry type " << static_cast<int>(c.kind) << ", mask " << c.mask);
        EXPECT_EQ(onlyTrustedCanChange(HandBuiltDescriptor(c.kind, c.mask).get(), c.object, trusted), c.onlyTrusted);
    }
}

} // namespace
