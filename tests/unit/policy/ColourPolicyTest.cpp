#include "policy/ColourPolicy.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <fstream>
#include <regex>
#include <set>
#include <sstream>
#include <string>

namespace {

StoredValue dword(std::uint32_t data)
{
    return {StoredValue::Answer::Read, registryDwordType, 4, data};
}

PolicyValues inForce(std::uint32_t usersMayChange)
{
    PolicyValues values;
    const std::uint32_t colours[] = {10, 20, 30, 100, 40, 50, 60, 0};
    for (std::size_t i = 0; i < storedValueCount; ++i) {
        values.colours[i] = dword(colours[i]);
    }
    values.usersMayChange = dword(usersMayChange);
    return values;
}

// The policy is in force only with all eight colour values as REG_DWORDs in
// range and UsersMayChange missing, 0 or 1; any value that exists otherwise
// makes it unusable, naming the first at fault.
TEST(ColourPolicy, DecidesFromTheValuesAsRead)
{
    struct Case {
        const char* name;
        std::function<void(PolicyValues&)> change;
        PolicyState state;
        std::wstring fault;
    };
    const Case cases[] = {
        {"no value", [](PolicyValues& v) { v = PolicyValues{}; }, PolicyState::None, L""},
        {"all eight, UsersMayChange 0", [](PolicyValues&) {}, PolicyState::InForce, L""},
        {"UsersMayChange missing", [](PolicyValues& v) { v.usersMayChange = {}; }, PolicyState::InForce, L""},
        {"the highest values", [](PolicyValues& v) { v.colours[2] = dword(255), v.colours[7] = dword(100); },
         PolicyState::InForce, L""},
        {"seven values", [](PolicyValues& v) { v.colours[5] = {}; }, PolicyState::Unusable, L"Z2_Green is missing"},
        {"UsersMayChange alone", [](PolicyValues& v) { v = PolicyValues{}, v.usersMayChange = dword(1); },
         PolicyState::Unusable, L"Z1_Red is missing"},
        {"a brightness of 150", [](PolicyValues& v) { v.colours[3] = dword(150); }, PolicyState::Unusable,
         L"Z1_Bright is 150, beyond its range 0-100"},
        {"a colour of 256", [](PolicyValues& v) { v.colours[4] = dword(256); }, PolicyState::Unusable,
         L"Z2_Red is 256, beyond its range 0-255"},
        {"a REG_SZ", [](PolicyValues& v) { v.colours[0] = {StoredValue::Answer::Read, 1, 4, 0}; },
         PolicyState::Unusable, L"Z1_Red is not a REG_DWORD"},
        {"a REG_DWORD of one byte", [](PolicyValues& v) { v.colours[1] = {StoredValue::Answer::Read, 4, 1, 0xFF}; },
         PolicyState::Unusable, L"Z1_Green is not a REG_DWORD"},
        {"a REG_DWORD of no bytes", [](PolicyValues& v) { v.colours[7] = {StoredValue::Answer::Read, 4, 0, 0}; },
         PolicyState::Unusable, L"Z2_Bright is not a REG_DWORD"},
        {"UsersMayChange of three bytes", [](PolicyValues& v) { v.usersMayChange = {StoredValue::Answer::Read, 4, 3, 1}; },
         PolicyState::Unusable, L"UsersMayChange is not a REG_DWORD"},
        {"UsersMayChange 2", [](PolicyValues& v) { v.usersMayChange = dword(2); }, PolicyState::Unusable,
         L"UsersMayChange is 2, beyond its range 0 or 1"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        PolicyValues values = inForce(0);
        c.change(values);
        const ColourPolicy policy = decidePolicy(values);
        EXPECT_EQ(policy.state, c.state);
        EXPECT_EQ(policyFaultText(policy), c.fault);
        EXPECT_EQ(policy.values.size(), c.state == PolicyState::InForce ? storedValueCount : 0U);
    }
    const ColourPolicy mayChange = decidePolicy(inForce(1));
    EXPECT_TRUE(mayChange.usersMayChange);
    EXPECT_THAT(mayChange.values, ::testing::ElementsAre(10, 20, 30, 100, 40, 50, 60, 0));
    EXPECT_FALSE(decidePolicy(inForce(0)).usersMayChange);
}

std::string fileText(const std::string& path)
{
    std::ifstream file(path);
    std::ostringstream text;
    text << file.rdbuf();
    return text.str();
}

std::string narrow(std::wstring_view text)
{
    return {text.begin(), text.end()};
}

std::set<std::string> matches(const std::string& text, const char* pattern)
{
    std::set<std::string> found;
    const std::regex expression(pattern);
    for (auto it = std::sregex_iterator(text.begin(), text.end(), expression); it != std::sregex_iterator(); ++it) {
        found.insert((*it)[1].str());
    }
    return found;
}

// The administrative template writes what the program reads: its key, the
// eight values as REG_DWORDs within the program's ranges, UsersMayChange as
// 0 or 1; and every string and presentation it names is in the ADML.
TEST(PolicyTemplate, MatchesTheProgramsConstants)
{
    const std::string admx = fileText(VELTRIN_POLICY_DEFINITIONS "/VeltrinLighting.admx");
    const std::string adml = fileText(VELTRIN_POLICY_DEFINITIONS "/en-US/VeltrinLighting.adml");
    ASSERT_FALSE(admx.empty());
    ASSERT_FALSE(adml.empty());

    std::string key = narrow(policyKeyPath);
    EXPECT_THAT(matches(admx, R"re(key="([^"]*)")re"), ::testing::ElementsAre(key));
    std::set<std::string> expected;
    for (std::size_t i = 0; i < storedValueCount; ++i) {
        const std::string name = narrow(valueNames[i]);
        expected.insert(name);
        const std::regex element("<decimal id=\"" + name + "\" valueName=\"" + name + "\" minValue=\"0\" maxValue=\""
                                 + std::to_string(policyValueMaximum(i)) + "\" required=\"true\" />");
        EXPECT_TRUE(std::regex_search(admx, element)) << name;
    }
    expected.insert(narrow(usersMayChangeName));
    EXPECT_EQ(matches(admx, R"re(valueName="([^"]*)")re"), expected);
    EXPECT_TRUE(std::regex_search(admx, std::regex("<boolean id=\"UsersMayChange\" valueName=\"UsersMayChange\">\\s*"
                                                   "<trueValue><decimal value=\"1\" /></trueValue>\\s*"
                                                   "<falseValue><decimal value=\"0\" /></falseValue>")));

    const std::set<std::string> strings = matches(adml, R"re(<string id="([^"]*)")re");
    for (const std::string& used : matches(admx, R"re(\$\(string\.([^)]*)\))re")) {
        EXPECT_EQ(strings.count(used), 1U) << used;
    }
    const std::set<std::string> presentations = matches(adml, R"re(<presentation id="([^"]*)")re");
    for (const std::string& used : matches(admx, R"re(\$\(presentation\.([^)]*)\))re")) {
        EXPECT_EQ(presentations.count(used), 1U) << used;
    }
    // Every box of the form stands for an element of the policy.
    EXPECT_EQ(matches(adml, R"re(refId="([^"]*)")re"), matches(admx, R"re(<(?:decimal|boolean) id="([^"]*)")re"));
}

} // namespace
