#include "TaskDocument.h"

#include <libxml/parser.h>
#include <libxml/tree.h>
#include <libxml/xmlerror.h>

#include <cstring>
#include <memory>

namespace {

struct DocumentDeleter {
    void operator()(xmlDoc* document) const { xmlFreeDoc(document); }
};

bool hasName(const xmlNode* node, const char* name)
{
    return node != nullptr && node->type == XML_ELEMENT_NODE
        && std::strcmp(reinterpret_cast<const char*>(node->name), name) == 0;
}

void findCommands(const xmlNode* node, TaskDocument& result, const xmlNode*& first)
{
    for (; node != nullptr; node = node->next) {
        if (hasName(node, "Command")) {
            ++result.commandCount;
            if (first == nullptr) {
                first = node;
            }
        }
        findCommands(node->children, result, first);
    }
}

bool isAtTaskActionsExec(const xmlNode* command)
{
    const xmlNode* exec = command->parent;
    const xmlNode* actions = exec != nullptr ? exec->parent : nullptr;
    const xmlNode* task = actions != nullptr ? actions->parent : nullptr;
    return hasName(exec, "Exec") && hasName(actions, "Actions") && hasName(task, "Task")
        && task->parent != nullptr && task->parent->type == XML_DOCUMENT_NODE;
}

} // namespace

TaskDocument readTaskDocument(const std::string& fileBytes)
{
    TaskDocument result;
    xmlResetLastError();
    const std::unique_ptr<xmlDoc, DocumentDeleter> document(
        xmlReadMemory(fileBytes.data(), static_cast<int>(fileBytes.size()), "task.xml", nullptr,
                      XML_PARSE_NONET | XML_PARSE_NOERROR | XML_PARSE_NOWARNING));
    if (!document) {
        const xmlError* error = xmlGetLastError();
        result.error = error != nullptr && error->message != nullptr ? error->message : "unknown error";
        return result;
    }
    result.wellFormed = true;

    const xmlNode* first = nullptr;
    findCommands(xmlDocGetRootElement(document.get()), result, first);
    if (first != nullptr) {
        result.commandInPlace = isAtTaskActionsExec(first);
        xmlChar* text = xmlNodeGetContent(first);
        if (text != nullptr) {
            result.commandText = reinterpret_cast<const char*>(text);
            xmlFree(text);
        }
    }
    return result;
}
