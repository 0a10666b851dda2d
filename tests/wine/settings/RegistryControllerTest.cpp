#include "settings/RegistryController.h"
#include "settings/RegistryKey.h"
#include "settings/StoredColors.h"

#include <aclapi.h>
#include <sddl.h>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <functional>
#include <optional>
#include <tuple>
#include <string>
#include <vector>

using ::testing::ElementsAre;
using ::testing::ElementsAreArray;

namespace {

const wchar_t* const testTree = L"Software\\VeltrinLightingTests";
const wchar_t* const colorsKey = L"SOFTWARE\\Orvane\\VeltrinLighting";

// Two keys below HKEY_CURRENT_USER that stand in for the machine and the user
// root. The machine stand-in can be made unwritable: below a volatile key no
// lasting key can be created, as below HKEY_LOCAL_MACHINE without rights.
class RegistryRoots : public ::testing::Test {
protected:
    void SetUp() override
    {
        RegDeleteTreeW(HKEY_CURRENT_USER, testTree);
        ASSERT_EQ(RegCreateKeyExW(HKEY_CURRENT_USER, testTree, 0, nullptr, REG_OPTION_NON_VOLATILE, KEY_ALL_ACCESS,
                                  nullptr, tree.receive(), nullptr), ERROR_SUCCESS);
        ASSERT_TRUE(createRoot(L"Machine", REG_OPTION_NON_VOLATILE, machine));
        ASSERT_TRUE(createRoot(L"User", REG_OPTION_NON_VOLATILE, user));
    }

    void TearDown() override
    {
        if (keyExists(machine.get())) {
            setKeySecurity(machine.get(), colorsKey, L"D:(A;;KA;;;WD)");
        }
        RegDeleteTreeW(HKEY_CURRENT_USER, testTree);
    }

    bool createRoot(const wchar_t* name, DWORD options, RegistryKey& key)
    {
        return RegCreateKeyExW(tree.get(), name, 0, nullptr, options, KEY_ALL_ACCESS, nullptr, key.receive(),
                               nullptr) == ERROR_SUCCESS;
    }

    void makeMachineUnwritable()
    {
        RegistryKey volatileRoot;
        ASSERT_TRUE(createRoot(L"ReadOnlyMachine", REG_OPTION_VOLATILE, volatileRoot));
        std::swap(*machine.receive(), *volatileRoot.receive());
    }

    // The machine stand-in's colours key as a user without administrator
    // rights sees HKEY_LOCAL_MACHINE's: readable, not writable.
    void makeMachineColorsReadOnly() { setKeySecurity(machine.get(), colorsKey, L"D:(A;;KR;;;WD)"); }
    static void setKeySecurity(HKEY root, const wchar_t* path, const wchar_t* sddl)
    {
        RegistryKey key;
        ASSERT_EQ(RegOpenKeyExW(root, path, 0, WRITE_DAC, key.receive()), ERROR_SUCCESS);
        PSECURITY_DESCRIPTOR descriptor = nullptr;
        ASSERT_TRUE(ConvertStringSecurityDescriptorToSecurityDescriptorW(sddl, SDDL_REVISION_1, &descriptor, nullptr));
        EXPECT_EQ(RegSetKeySecurity(key.get(), DACL_SECURITY_INFORMATION, descriptor), ERROR_SUCCESS);
        LocalFree(descriptor);
    }

    RegistryController controller() const { return RegistryController(machine.get(), user.get()); }

    // What a run without arguments starts from, with start as the model's
    // defaults.
    RestorePlan restore(const ZoneValues& start = ZoneValues(8, 0)) const { return controller().restorePlan(start); }

    static void setValue(HKEY root, const wchar_t* name, DWORD type, const void* data, DWORD size)
    {
        RegistryKey key;
        ASSERT_EQ(RegCreateKeyExW(root, colorsKey, 0, nullptr, REG_OPTION_NON_VOLATILE, KEY_ALL_ACCESS, nullptr,
                                  key.receive(), nullptr), ERROR_SUCCESS);
        ASSERT_EQ(RegSetValueExW(key.get(), name, 0, type, static_cast<const BYTE*>(data), size), ERROR_SUCCESS);
    }

    static void setDword(HKEY root, const wchar_t* name, DWORD value)
    {
        setValue(root, name, REG_DWORD, &value, sizeof(value));
    }

    static void setString(HKEY root, const wchar_t* name, const std::wstring& text)
    {
        setValue(root, name, REG_SZ, text.c_str(), static_cast<DWORD>((text.size() + 1) * sizeof(wchar_t)));
    }

    static void storeVector(HKEY root, const std::vector<DWORD>& values)
    {
        for (std::size_t i = 0; i < values.size(); ++i) {
            setDword(root, valueNames[i].data(), values[i]);
        }
    }

    // The stored values as REG_DWORDs, in vector order; nullopt for a value
    // that is missing or of another type.
    static std::vector<std::optional<DWORD>> storedDwords(HKEY root)
    {
        std::vector<std::optional<DWORD>> values;
        for (const auto name : valueNames) {
            DWORD data = 0;
            DWORD size = sizeof(data);
            DWORD type = 0;
            const bool found = RegGetValueW(root, colorsKey, name.data(), RRF_RT_ANY, &type, &data, &size) == ERROR_SUCCESS
                && type == REG_DWORD;
            values.push_back(found ? std::optional<DWORD>(data) : std::nullopt);
        }
        return values;
    }

    static bool keyExists(HKEY root)
    {
        RegistryKey key;
        return RegOpenKeyExW(root, colorsKey, 0, KEY_READ, key.receive()) == ERROR_SUCCESS;
    }

    RegistryKey tree;
    RegistryKey machine;
    RegistryKey user;
};

std::vector<std::optional<DWORD>> dwords(std::initializer_list<DWORD> values)
{
    return {values.begin(), values.end()};
}

TEST_F(RegistryRoots, FirstWriteGoesToTheMachineRootAndIsFoundByTheNextRun)
{
    EXPECT_EQ(restore().reads, StoredRoot::None);

    EXPECT_TRUE(controller().writeColors({1, 2, 3, 4, 5, 6, 7, 8}));
    EXPECT_EQ(storedDwords(machine.get()), dwords({1, 2, 3, 4, 5, 6, 7, 8}));

    const RestorePlan nextRun = restore();
    EXPECT_EQ(nextRun.reads, StoredRoot::Machine);
    EXPECT_THAT(nextRun.values, ElementsAre(1, 2, 3, 4, 5, 6, 7, 8));
}

TEST_F(RegistryRoots, WithoutWriteAccessToTheMachineKeyTheUserKeyIsUsed)
{
    makeMachineUnwritable();
    EXPECT_EQ(restore().reads, StoredRoot::None);

    EXPECT_TRUE(controller().writeColors({10, 20, 30, 40, 50, 60, 70, 80}));
    EXPECT_EQ(storedDwords(user.get()), dwords({10, 20, 30, 40, 50, 60, 70, 80}));
    EXPECT_FALSE(keyExists(machine.get()));

    const RestorePlan nextRun = restore();
    EXPECT_EQ(nextRun.reads, StoredRoot::User);
    EXPECT_THAT(nextRun.values, ElementsAre(10, 20, 30, 40, 50, 60, 70, 80));
}

TEST_F(RegistryRoots, UserWithoutAColourSetOfTheirOwnStartsFromTheMachineSet)
{
    storeVector(machine.get(), {1, 2, 3, 4, 5, 6, 7, 8});
    makeMachineColorsReadOnly();
    const RestorePlan first = restore();
    EXPECT_EQ(first.reads, StoredRoot::Machine);
    EXPECT_EQ(first.stores, StoredRoot::User);
    EXPECT_THAT(first.values, ElementsAre(1, 2, 3, 4, 5, 6, 7, 8));

    // What the user sets goes to their own key, and from then on is theirs.
    EXPECT_TRUE(controller().writeColors({10, 20, 30, 40, 50, 60, 70, 80}));
    EXPECT_EQ(storedDwords(machine.get()), dwords({1, 2, 3, 4, 5, 6, 7, 8}));
    EXPECT_THAT(restore().values, ElementsAre(10, 20, 30, 40, 50, 60, 70, 80));
}

TEST_F(RegistryRoots, ValuesOnlyUnderTheUserKeyAreNotReadWhenTheMachineKeyIsWritable)
{
    storeVector(user.get(), {1, 2, 3, 4, 5, 6, 7, 8});
    const RestorePlan run = restore();
    EXPECT_EQ(run.reads, StoredRoot::Machine);
    EXPECT_THAT(run.values, ElementsAre(255, 255, 255, 100, 255, 255, 255, 100));
    EXPECT_EQ(storedDwords(machine.get()), dwords({255, 255, 255, 100, 255, 255, 255, 100}));
}

TEST_F(RegistryRoots, ValuesAboveTheirRangeSaturate)
{
    storeVector(machine.get(), {300, 256, 255, 300, 0, 1000, 7, 101});
    EXPECT_THAT(restore().values, ElementsAre(255, 255, 255, 100, 0, 255, 7, 100));
}

TEST_F(RegistryRoots, LongStringIsReplacedByTheDefault)
{
    storeVector(machine.get(), {1, 2, 3, 4, 5, 6, 7, 8});
    setString(machine.get(), L"Z1_Red", L"crimson");
    const RestorePlan alone = restore({9, 9, 9, 9, 9, 9, 9, 9});
    EXPECT_EQ(alone.reads, StoredRoot::None) << "the machine key is incomplete and the user key empty";
    EXPECT_THAT(alone.values, ElementsAre(9, 9, 9, 9, 9, 9, 9, 9));

    // With a complete set elsewhere, the machine key is completed and read.
    storeVector(user.get(), {1, 1, 1, 1, 1, 1, 1, 1});
    EXPECT_THAT(restore().values, ElementsAre(255, 2, 3, 4, 5, 6, 7, 8));
    EXPECT_EQ(storedDwords(machine.get())[0], std::optional<DWORD>(255));
}

TEST_F(RegistryRoots, ShortStringCountsAsStoredButIsSkippedWhenRead)
{
    storeVector(machine.get(), {1, 2, 3, 4, 5, 6, 7, 8});
    setString(machine.get(), L"Z2_Bright", L"7");
    const RestorePlan run = restore(ZoneValues(8, 99));
    EXPECT_EQ(run.reads, StoredRoot::Machine);
    EXPECT_THAT(run.values, ElementsAre(1, 2, 3, 4, 5, 6, 7, 99));
}

TEST_F(RegistryRoots, OversizedValueOfAnotherTypeIsReplaced)
{
    storeVector(machine.get(), {1, 2, 3, 4, 5, 6, 7, 8});
    const unsigned long long wide = 5;
    setValue(machine.get(), L"Z1_Blue", REG_QWORD, &wide, sizeof(wide));

    EXPECT_TRUE(controller().writeColors({9, 9, 9, 9, 9, 9, 9, 9}));
    EXPECT_EQ(storedDwords(machine.get()), dwords({9, 9, 9, 9, 9, 9, 9, 9}));
}

TEST_F(RegistryRoots, OversizedDwordMakesTheRootUnusable)
{
    storeVector(machine.get(), {1, 2, 3, 4, 5, 6, 7, 8});
    const unsigned char eightBytes[8] = {1, 0, 0, 0, 0, 0, 0, 0};
    setValue(machine.get(), L"Z1_Green", REG_DWORD, eightBytes, sizeof(eightBytes));

    EXPECT_TRUE(controller().writeColors({9, 9, 9, 9, 9, 9, 9, 9}));
    EXPECT_EQ(storedDwords(user.get()), dwords({9, 9, 9, 9, 9, 9, 9, 9}));
    EXPECT_EQ(storedDwords(machine.get())[0], std::optional<DWORD>(1));
}

TEST_F(RegistryRoots, VectorOfWrongLengthWritesNoColour)
{
    for (const std::size_t length : {0u, 7u, 9u}) {
        EXPECT_FALSE(controller().writeColors(std::vector<std::uint8_t>(length, 1))) << length;
    }
    // The defaults that the root choice created are all that is there.
    EXPECT_EQ(storedDwords(machine.get()), dwords({255, 255, 255, 100, 255, 255, 255, 100}));
}

TEST_F(RegistryRoots, NeitherRootUsableFailsWithoutTouchingTheVector)
{
    makeMachineUnwritable();
    RegistryKey volatileUser;
    ASSERT_TRUE(createRoot(L"ReadOnlyUser", REG_OPTION_VOLATILE, volatileUser));
    const RegistryController run(machine.get(), volatileUser.get());

    const RestorePlan plan = run.restorePlan({1, 2, 3, 4, 5, 6, 7, 8});
    EXPECT_EQ(plan.reads, StoredRoot::None);
    EXPECT_EQ(plan.stores, StoredRoot::None);
    EXPECT_THAT(plan.values, ElementsAre(1, 2, 3, 4, 5, 6, 7, 8));
    EXPECT_FALSE(run.writeColors(plan.values));
}

TEST_F(RegistryRoots, ReadingWithoutAnyDwordLeavesTheVectorAlone)
{
    for (const auto name : valueNames) {
        setString(machine.get(), name.data(), L"x");
    }
    EXPECT_THAT(restore({1, 2, 3, 4, 5, 6, 7, 8}).values, ElementsAreArray({1, 2, 3, 4, 5, 6, 7, 8}));
}

// "status" asks what a run would do without creating or writing anything;
// the run then does what it said.
TEST_F(RegistryRoots, ReadOnlyPreviewPlansWhatTheRunThenDoes)
{
    const ZoneValues modelDefaults = {230, 255, 255, 100, 210, 200, 230, 100};
    const std::uint8_t twoBytes[2] = {7, 0};
    const unsigned char eightBytes[8] = {1, 0, 0, 0, 0, 0, 0, 0};
    struct Case {
        const char* name;
        std::function<void()> arrange;
        StoredRoot reads;
    };
    const Case cases[] = {
        {"nothing stored", [] {}, StoredRoot::None},
        {"machine key lost a value, user set complete",
         [&] {
             storeVector(machine.get(), {255, 0, 0, 100, 0, 0, 255});
             storeVector(user.get(), {1, 2, 3, 4, 5, 6, 7, 8});
         },
         StoredRoot::Machine},
        {"machine key complete, read only",
         [&] {
             storeVector(machine.get(), {1, 2, 3, 4, 5, 6, 7, 8});
             makeMachineColorsReadOnly();
         },
         StoredRoot::Machine},
        {"machine key incomplete and read only, user set complete",
         [&] {
             storeVector(machine.get(), {1, 2, 3});
             makeMachineColorsReadOnly();
             storeVector(user.get(), {8, 7, 6, 5, 4, 3, 2, 1});
         },
         StoredRoot::User},
        {"short REG_BINARY in the machine key",
         [&] {
             storeVector(machine.get(), {1, 2, 3, 4, 5, 6, 7, 8});
             setValue(machine.get(), L"Z1_Red", REG_BINARY, twoBytes, sizeof(twoBytes));
         },
         StoredRoot::Machine},
        {"oversized REG_DWORD in the machine key, user set complete",
         [&] {
             storeVector(machine.get(), {1, 2, 3, 4, 5, 6, 7, 8});
             setValue(machine.get(), L"Z2_Blue", REG_DWORD, eightBytes, sizeof(eightBytes));
             storeVector(user.get(), {8, 7, 6, 5, 4, 3, 2, 1});
         },
         StoredRoot::User},
    };
    for (const Case& c : cases) {
        TearDown();
        SetUp();
        c.arrange();
        const auto registry = [&] {
            return std::tuple(keyExists(machine.get()), keyExists(user.get()), storedDwords(machine.get()),
                              storedDwords(user.get()));
        };
        const auto before = registry();
        const RegistryController run = controller();
        const RestorePlan preview = planRestore(run.storedSet(RegistryController::Root::Machine),
                                                run.storedSet(RegistryController::Root::User), modelDefaults);
        EXPECT_EQ(registry(), before) << c.name;

        const RestorePlan done = run.restorePlan(modelDefaults);
        EXPECT_EQ(preview.reads, c.reads) << c.name;
        EXPECT_EQ(done.reads, preview.reads) << c.name;
        EXPECT_EQ(done.stores, preview.stores) << c.name;
        EXPECT_EQ(done.values, preview.values) << c.name;
        EXPECT_EQ(done.sources, preview.sources) << c.name;
    }
}

// A key received into an owner that still holds one closes the one it held.
TEST(RegistryKeyOwner, ReceivingAgainClosesTheKeyItHeld)
{
    RegistryKey key;
    ASSERT_EQ(RegOpenKeyExW(HKEY_LOCAL_MACHINE, L"SOFTWARE", 0, KEY_READ | KEY_WOW64_64KEY, key.receive()),
              ERROR_SUCCESS);
    ASSERT_NE(key.get(), nullptr);
    EXPECT_EQ(*key.receive(), nullptr);
    EXPECT_EQ(key.get(), nullptr);
}

} // namespace
