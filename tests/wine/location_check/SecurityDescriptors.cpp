#include "SecurityDescriptors.h"

#include <sddl.h>

#include <gtest/gtest.h>

LocalPointer<void> descriptorOf(const std::wstring& sddl)
{
    PSECURITY_DESCRIPTOR descriptor = nullptr;
    EXPECT_TRUE(
        ConvertStringSecurityDescriptorToSecurityDescriptorW(sddl.c_str(), SDDL_REVISION_1, &descriptor, nullptr))
        << "SDDL: " << std::string(sddl.begin(), sddl.end());
    return LocalPointer<void>(descriptor);
}
