#include "location_check/ChangeRights.h"

namespace {

// Generic rights appear in entries written by hand or by tools; they are
// counted where they include a change right: GENERIC_WRITE includes write and
// append data on a file, but none of the rights of a folder further up (where
// it means adding files and folders).
constexpr ACCESS_MASK fileChangeRights = FILE_WRITE_DATA | FILE_APPEND_DATA | FILE_WRITE_ATTRIBUTES | DELETE | WRITE_DAC
    | WRITE_OWNER | GENERIC_WRITE | GENERIC_ALL;
constexpr ACCESS_MASK folderChangeRights = FILE_DELETE_CHILD | DELETE | WRITE_DAC | WRITE_OWNER | GENERIC_ALL;
// Windows looks beside a program for some of the DLLs it loads: whoever may
// add files or folders there may put code into it.
constexpr ACCESS_MASK programFolderChangeRights =
    folderChangeRights | FILE_ADD_FILE | FILE_ADD_SUBDIRECTORY | GENERIC_WRITE;

ACCESS_MASK changeRightsOf(PathObject object)
{
    switch (object) {
    case PathObject::File:
        return fileChangeRights;
    case PathObject::ProgramFolder:
        return programFolderChangeRights;
    case PathObject::Folder:
        return folderChangeRights;
    }
    return fileChangeRights | programFolderChangeRights;
}

bool isCreatorPlaceholder(PSID sid)
{
    static const SidBytes creatorOwner = sidFromString(L"S-1-3-0");
    static const SidBytes creatorGroup = sidFromString(L"S-1-3-1");
    const SidBytes account = sidBytesOf(sid);
    return account == creatorOwner || account == creatorGroup;
}

// Whether one DACL entry lets someone untrusted change the object. (The entry
// is not const only because the SID functions take non-const pointers.)
bool grantsChange(ACE_HEADER& header, ACCESS_MASK changeRights, const TrustedAccounts& trusted)
{
    if ((header.AceFlags & INHERIT_ONLY_ACE) != 0) {
        return false;
    }
    switch (header.AceType) {
    case ACCESS_ALLOWED_ACE_TYPE:
    case ACCESS_ALLOWED_CALLBACK_ACE_TYPE: {
        // Both lay out the mask and the SID alike. A callback entry's
        // condition is not evaluated: taking it as met can only refuse more.
        auto& entry = reinterpret_cast<ACCESS_ALLOWED_ACE&>(header);
        const PSID sid = &entry.SidStart;
        return (entry.Mask & changeRights) != 0 && !isCreatorPlaceholder(sid) && !trusted.contains(sid);
    }
    case ACCESS_ALLOWED_COMPOUND_ACE_TYPE:
    case ACCESS_ALLOWED_OBJECT_ACE_TYPE:
    case ACCESS_ALLOWED_CALLBACK_OBJECT_ACE_TYPE:
        // Kinds that belong to other objects than files: whom they name is not
        // read, so one that grants a change right refuses.
        return (reinterpret_cast<const ACCESS_ALLOWED_ACE&>(header).Mask & changeRights) != 0;
    default:
        return false;
    }
}

} // namespace

bool onlyTrustedCanChange(PSECURITY_DESCRIPTOR descriptor, PathObject object, const TrustedAccounts& trusted)
{
    PSID owner = nullptr;
    BOOL defaulted = FALSE;
    if (!GetSecurityDescriptorOwner(descriptor, &owner, &defaulted) || !trusted.contains(owner)) {
        return false;
    }
    BOOL present = FALSE;
    PACL dacl = nullptr;
    if (!GetSecurityDescriptorDacl(descriptor, &present, &dacl, &defaulted) || !present || dacl == nullptr) {
        return false;
    }
    ACL_SIZE_INFORMATION size{};
    if (!GetAclInformation(dacl, &size, sizeof(size), AclSizeInformation)) {
        return false;
    }
    const ACCESS_MASK changeRights = changeRightsOf(object);
    for (DWORD i = 0; i < size.AceCount; ++i) {
        void* entry = nullptr;
        if (!GetAce(dacl, i, &entry) || grantsChange(*static_cast<ACE_HEADER*>(entry), changeRights, trusted)) {
            return false;
        }
    }
    return true;
}
