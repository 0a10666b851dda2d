#include "settings/TrustedKey.h"

#include "windows_wrappers/LocalPointer.h"

#include <aclapi.h>
#include <sddl.h>

namespace {

bool isTrustedAccount(PSID sid)
{
    return sid != nullptr && IsValidSid(sid)
        && (IsWellKnownSid(sid, WinLocalSystemSid) || IsWellKnownSid(sid, WinBuiltinAdministratorsSid));
}

KeyAccessEntry::Kind entryKind(BYTE type)
{
    switch (type) {
    case ACCESS_ALLOWED_ACE_TYPE:
        return KeyAccessEntry::Kind::Allowed;
    case ACCESS_DENIED_ACE_TYPE:
        return KeyAccessEntry::Kind::Denied;
    default:
        return KeyAccessEntry::Kind::Other;
    }
}

} // namespace

LSTATUS openKeyItself(HKEY root, const wchar_t* path, REGSAM access, RegistryKey& key)
{
    key.reset();
    return RegOpenKeyExW(root, path, REG_OPTION_OPEN_LINK, access | KEY_QUERY_VALUE | READ_CONTROL | KEY_WOW64_64KEY,
                         key.receive());
}

LSTATUS createKeyItself(HKEY root, const wchar_t* path, const wchar_t* sddl, REGSAM access, RegistryKey& key)
{
    const LSTATUS opened = openKeyItself(root, path, access, key);
    if (opened != ERROR_FILE_NOT_FOUND) {
        return opened;
    }
    LocalPointer<void> descriptor;
    if (sddl != nullptr) {
        PSECURITY_DESCRIPTOR raw = nullptr;
        if (!ConvertStringSecurityDescriptorToSecurityDescriptorW(sddl, SDDL_REVISION_1, &raw, nullptr)) {
            return static_cast<LSTATUS>(GetLastError());
        }
        descriptor.reset(raw);
    }
    SECURITY_ATTRIBUTES attributes{sizeof(SECURITY_ATTRIBUTES), descriptor.get(), FALSE};
    const REGSAM securing = descriptor ? WRITE_DAC | WRITE_OWNER : 0;
    DWORD disposition = 0;
    const LSTATUS created = RegCreateKeyExW(root, path, 0, nullptr, REG_OPTION_NON_VOLATILE,
                                            access | KEY_QUERY_VALUE | READ_CONTROL | securing | KEY_WOW64_64KEY,
                                            descriptor ? &attributes : nullptr, key.receive(), &disposition);
    if (created != ERROR_SUCCESS) {
        return created;
    }
    // Made by another process meanwhile (and perhaps a link, which the
    // create followed): opened again as itself.
    if (disposition != REG_CREATED_NEW_KEY) {
        return openKeyItself(root, path, access, key);
    }
    if (!descriptor) {
        return ERROR_SUCCESS;
    }
    const LSTATUS secured =
        RegSetKeySecurity(key.get(), OWNER_SECURITY_INFORMATION | DACL_SECURITY_INFORMATION, descriptor.get());
    if (secured != ERROR_SUCCESS) {
        key.reset();
    }
    return secured;
}

bool isRegistryLink(HKEY key)
{
    DWORD type = REG_NONE;
    return RegQueryValueExW(key, L"SymbolicLinkValue", nullptr, &type, nullptr, nullptr) == ERROR_SUCCESS
        && type == REG_LINK;
}

KeySecurityFacts keySecurityFacts(PSECURITY_DESCRIPTOR descriptor)
{
    KeySecurityFacts facts;
    PSID owner = nullptr;
    BOOL ownerDefaulted = FALSE;
    BOOL present = FALSE;
    PACL dacl = nullptr;
    BOOL daclDefaulted = FALSE;
    SECURITY_DESCRIPTOR_CONTROL control = 0;
    DWORD revision = 0;
    if (descriptor == nullptr || !GetSecurityDescriptorOwner(descriptor, &owner, &ownerDefaulted)
        || !GetSecurityDescriptorDacl(descriptor, &present, &dacl, &daclDefaulted)
        || !GetSecurityDescriptorControl(descriptor, &control, &revision)) {
        return facts;
    }
    facts.trustedOwner = isTrustedAccount(owner);
    facts.hasAccessList = present != FALSE && dacl != nullptr;
    facts.protectedList = (control & SE_DACL_PROTECTED) != 0;
    if (!facts.hasAccessList) {
        return facts;
    }
    for (DWORD i = 0; i < dacl->AceCount; ++i) {
        void* raw = nullptr;
        KeyAccessEntry entry;
        if (!GetAce(dacl, i, &raw)) {
            entry.kind = KeyAccessEntry::Kind::Other;
            facts.entries.push_back(entry);
            continue;
        }
        const auto* header = static_cast<const ACE_HEADER*>(raw);
        entry.kind = entryKind(header->AceType);
        entry.inherited = (header->AceFlags & INHERITED_ACE) != 0;
        if (entry.kind != KeyAccessEntry::Kind::Other) {
            // Allowed and denied entries lay out their mask and SID alike.
            auto* allowed = static_cast<ACCESS_ALLOWED_ACE*>(raw);
            entry.mask = allowed->Mask;
            entry.trustedAccount = isTrustedAccount(reinterpret_cast<PSID>(&allowed->SidStart));
        }
        facts.entries.push_back(entry);
    }
    return facts;
}

KeyDistrust keyDistrustOf(HKEY key, KeyReaders readers)
{
    if (isRegistryLink(key)) {
        return KeyDistrust::Link;
    }
    PSECURITY_DESCRIPTOR raw = nullptr;
    if (GetSecurityInfo(key, SE_REGISTRY_KEY, OWNER_SECURITY_INFORMATION | DACL_SECURITY_INFORMATION, nullptr, nullptr,
                        nullptr, nullptr, &raw)
        != ERROR_SUCCESS) {
        return KeyDistrust::Unreadable;
    }
    const LocalPointer<void> descriptor(raw);
    return keyDistrust(keySecurityFacts(raw), readers);
}
