// The startup task's event trigger, evaluated as the event log evaluates it:
// its XPath query against sample events of the System log. Comparing the
// query's text would only show that it did not change.
#include "application/TaskXml.h"

#include <gtest/gtest.h>
#include <libxml/parser.h>
#include <libxml/tree.h>
#include <libxml/xpath.h>

#include <memory>
#include <string>

namespace {

using Document = std::unique_ptr<xmlDoc, decltype(&xmlFreeDoc)>;

Document parse(const std::string& text)
{
    return {xmlReadMemory(text.data(), static_cast<int>(text.size()), nullptr, "UTF-8", XML_PARSE_NONET),
            &xmlFreeDoc};
}

// The first element of the name below the node, in document order.
xmlNode* findElement(xmlNode* node, const char* name)
{
    for (; node != nullptr; node = node->next) {
        if (node->type == XML_ELEMENT_NODE && xmlStrEqual(node->name, BAD_CAST name)) {
            return node;
        }
        if (xmlNode* found = findElement(node->children, name)) {
            return found;
        }
    }
    return nullptr;
}

std::string contentOf(xmlNode* node)
{
    xmlChar* content = xmlNodeGetContent(node);
    std::string text = content != nullptr ? reinterpret_cast<const char*>(content) : "";
    xmlFree(content);
    return text;
}

int countElements(xmlNode* node, const char* name)
{
    int count = 0;
    for (; node != nullptr; node = node->next) {
        if (node->type == XML_ELEMENT_NODE && xmlStrEqual(node->name, BAD_CAST name)) {
            ++count;
        }
        count += countElements(node->children, name);
    }
    return count;
}

// The event log matches names without regard to the event namespace.
void dropNamespaces(xmlNode* node)
{
    for (; node != nullptr; node = node->next) {
        node->ns = nullptr;
        dropNamespaces(node->children);
    }
}

struct TriggerQuery {
    int queryLists = 0;
    int selects = 0;
    std::string path;
    std::string xpath;
};

TriggerQuery triggerQuery()
{
    const std::wstring wide = taskXmlText(L"C:\\Program Files\\VeltrinLighting\\VeltrinLighting.exe");
    const std::string task(wide.begin(), wide.end()); // plain ASCII
    const Document taskDocument = parse(task);
    EXPECT_NE(taskDocument, nullptr);
    xmlNode* subscription = findElement(xmlDocGetRootElement(taskDocument.get()), "Subscription");
    EXPECT_NE(subscription, nullptr);
    const Document queryDocument = parse(contentOf(subscription));
    EXPECT_NE(queryDocument, nullptr);
    xmlNode* root = xmlDocGetRootElement(queryDocument.get());
    xmlNode* select = findElement(root, "Select");
    EXPECT_NE(select, nullptr);
    xmlChar* path = xmlGetProp(select, BAD_CAST "Path");
    TriggerQuery query{countElements(root, "QueryList"), countElements(root, "Select"),
                       path != nullptr ? reinterpret_cast<const char*>(path) : "", contentOf(select)};
    xmlFree(path);
    return query;
}

bool selects(const std::string& xpath, const std::string& provider, int eventId, const std::string& data = "")
{
    const Document event = parse(R"(<Event xmlns="http://schemas.microsoft.com/win/2004/08/events/event">)"
                                 R"(<System><Provider Name=")"
                                 + provider + R"("/><EventID>)" + std::to_string(eventId)
                                 + "</EventID><Channel>System</Channel></System><EventData>" + data
                                 + "</EventData></Event>");
    dropNamespaces(xmlDocGetRootElement(event.get()));
    const std::unique_ptr<xmlXPathContext, decltype(&xmlXPathFreeContext)> context(xmlXPathNewContext(event.get()),
                                                                                   &xmlXPathFreeContext);
    // Each event is the document the query is evaluated on.
    context->node = reinterpret_cast<xmlNode*>(event.get());
    const std::unique_ptr<xmlXPathObject, decltype(&xmlXPathFreeObject)> result(
        xmlXPathEvalExpression(BAD_CAST xpath.c_str(), context.get()), &xmlXPathFreeObject);
    EXPECT_NE(result, nullptr) << xpath;
    return result != nullptr && result->nodesetval != nullptr && result->nodesetval->nodeNr > 0;
}

TEST(TaskTriggerQuery, IsOneQueryOfTheSystemLog)
{
    const TriggerQuery query = triggerQuery();
    EXPECT_EQ(query.queryLists, 1);
    EXPECT_EQ(query.selects, 1);
    EXPECT_EQ(query.path, "System");
}

TEST(TaskTriggerQuery, SelectsEveryStartWakeAndComputerPolicyChangeAndNotTheirNeighbours)
{
    const std::string power = "Microsoft-Windows-Kernel-Power";
    const std::string boot = "Microsoft-Windows-Kernel-Boot";
    const std::string policy = "Microsoft-Windows-GroupPolicy";
    const auto bootType = [](int type) { return R"(<Data Name="BootType">)" + std::to_string(type) + "</Data>"; };
    const struct {
        const char* name;
        std::string provider;
        int eventId;
        std::string data;
        bool selected;
    } cases[] = {
        {"resume from sleep", power, 107, "", true},
        {"leaving Modern Standby", power, 507, "", true},
        {"cold boot", boot, 27, bootType(0), true},
        {"start from Fast Startup", boot, 27, bootType(1), true},
        {"resume from hibernation", boot, 27, bootType(2), true},
        {"computer policy with new settings", policy, 1502, "", true},
        {"going to sleep", power, 42, "", false},
        {"another kernel boot event", boot, 20, "", false},
        {"user policy with new settings", policy, 1503, "", false},
        {"computer policy without changes", policy, 1500, "", false},
        {"another provider's 27", power, 27, "", false},
        {"another provider's 107", boot, 107, "", false},
        {"another provider's 1502", boot, 1502, "", false},
        {"Group Policy's 107", policy, 107, "", false},
    };
    const std::string xpath = triggerQuery().xpath;
    for (const auto& testCase : cases) {
        EXPECT_EQ(selects(xpath, testCase.provider, testCase.eventId, testCase.data), testCase.selected)
            << testCase.name;
    }
}

} // namespace
