#include "GoldenOutput.h"

#include <stdexcept>

namespace {

void expect(bool holds, std::string_view json, std::size_t at)
{
    if (!holds) {
        throw std::invalid_argument("unexpected JSON at " + std::to_string(at) + ": " + std::string(json));
    }
}

// The raw token at `at`: a string with its quotes, or a number or literal.
std::string scalar(std::string_view json, std::size_t& at)
{
    const std::size_t start = at;
    if (json[at] == '"') {
        for (++at; at < json.size() && json[at] != '"'; ++at) {
            at += json[at] == '\\' ? 1 : 0;
        }
        expect(at < json.size(), json, start);
        ++at;
    } else {
        while (at < json.size() && std::string_view(",}]").find(json[at]) == std::string_view::npos) {
            ++at;
        }
    }
    expect(at > start, json, start);
    return std::string(json.substr(start, at - start));
}

void flatten(std::string_view json, std::size_t& at, const std::string& path, Entries& out)
{
    expect(at < json.size(), json, at);
    const char open = json[at];
    if (open != '{' && open != '[') {
        out.emplace_back(path, scalar(json, at));
        return;
    }
    const bool object = open == '{';
    const char close = object ? '}' : ']';
    ++at;
    expect(at < json.size(), json, at);
    if (json[at] == close) {
        ++at;
        out.emplace_back(path, object ? "{}" : "[]");
        return;
    }
    for (std::size_t index = 0;; ++index) {
        std::string child;
        if (object) {
            const std::string name = scalar(json, at);
            expect(at < json.size() && json[at] == ':' && name.size() >= 2, json, at);
            ++at;
            child = (path.empty() ? "" : path + ".") + name.substr(1, name.size() - 2);
        } else {
            child = path + "[" + std::to_string(index) + "]";
        }
        flatten(json, at, child, out);
        expect(at < json.size() && (json[at] == ',' || json[at] == close), json, at);
        if (json[at++] == close) {
            return;
        }
    }
}

// Whether key lies below parent: "parent.member" or "parent[0]".
bool below(const std::string& key, const std::string& parent)
{
    return key.size() > parent.size() && key.compare(0, parent.size(), parent) == 0
        && (key[parent.size()] == '.' || key[parent.size()] == '[');
}

bool replacedBy(const std::string& key, const std::string& change)
{
    return key == change || below(key, change) || below(change, key);
}

// The lines of text, a carriage return before a line feed dropped.
std::vector<std::string_view> linesOf(std::string_view text)
{
    std::vector<std::string_view> lines;
    while (!text.empty()) {
        const std::size_t end = text.find('\n');
        std::string_view line = text.substr(0, end);
        text = end == std::string_view::npos ? std::string_view() : text.substr(end + 1);
        if (!line.empty() && line.back() == '\r') {
            line.remove_suffix(1);
        }
        lines.push_back(line);
    }
    return lines;
}

} // namespace

Entries lineEntries(std::string_view text)
{
    Entries entries;
    for (const std::string_view line : linesOf(text)) {
        const std::size_t colon = line.find(": ");
        if (colon == std::string_view::npos) {
            entries.emplace_back(std::string(line), "");
        } else {
            entries.emplace_back(std::string(line.substr(0, colon)), std::string(line.substr(colon + 2)));
        }
    }
    return entries;
}

Entries jsonEntries(std::string_view json)
{
    while (!json.empty() && (json.back() == '\n' || json.back() == '\r')) {
        json.remove_suffix(1);
    }
    Entries entries;
    std::size_t at = 0;
    flatten(json, at, "", entries);
    expect(at == json.size(), json, at);
    return entries;
}

Entries changed(Entries base, const std::vector<Change>& changes)
{
    std::size_t cursor = 0;
    for (const Change& change : changes) {
        auto first = base.begin();
        while (first != base.end() && !replacedBy(first->first, change.key)) {
            ++first;
        }
        if (first != base.end()) {
            auto last = first;
            while (last != base.end() && replacedBy(last->first, change.key)) {
                ++last;
            }
            cursor = static_cast<std::size_t>(base.erase(first, last) - base.begin());
        } else {
            // A key new to the output goes after its siblings ("problems[2]"
            // after "problems[1]"); one without them after the change before.
            const std::string parent = change.key.substr(0, change.key.find_last_of(".["));
            for (std::size_t i = 0; i < base.size(); ++i) {
                if (below(base[i].first, parent)) {
                    cursor = i + 1;
                }
            }
        }
        if (!change.value) {
            continue;
        }
        // An object or array as the value stands for its members.
        Entries added;
        const std::string& value = *change.value;
        if (value.size() > 2 && (value.front() == '{' || value.front() == '[')) {
            std::size_t at = 0;
            flatten(value, at, change.key, added);
            expect(at == value.size(), value, at);
        } else {
            added.emplace_back(change.key, value);
        }
        base.insert(base.begin() + static_cast<std::ptrdiff_t>(cursor), added.begin(), added.end());
        cursor += added.size();
    }
    return base;
}

std::string entriesText(const Entries& entries)
{
    std::string text;
    for (const auto& [key, value] : entries) {
        text += key + " = " + value + "\n";
    }
    return text;
}

Entries parseEntries(std::string_view text)
{
    Entries entries;
    for (const std::string_view line : linesOf(text)) {
        const std::size_t mark = line.find(" = ");
        if (mark != std::string_view::npos) {
            entries.emplace_back(std::string(line.substr(0, mark)), std::string(line.substr(mark + 3)));
        }
    }
    return entries;
}
