#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

// An output as a list of entries, one per line or JSON member, so that an
// expected output can be written as another one with a few entries changed
// and a failing comparison shows the entries that differ.
using Entry = std::pair<std::string, std::string>;
using Entries = std::vector<Entry>;

// Lines "Label: text" as {"Label", "text"} (a line without ": " as its own
// key with an empty value); a carriage return before each line feed is
// dropped.
Entries lineEntries(std::string_view text);

// A JSON text written without blanks, as {"path", "raw value"}: one entry per
// scalar ("machineKey.values[0].name", "\"Z1_Red\""), and "{}" or "[]" for an
// empty object or array. Strings stay as written, escapes and all, so that two
// texts have the same entries exactly when they are the same bytes. Throws
// std::invalid_argument on a text it cannot read.
Entries jsonEntries(std::string_view json);

// An entry of an expected output: the key and its new value, or nothing to
// take the entry away. A JSON object or array as the value stands for its
// members ({"machineKey.values[0]", R"({"name":"Z1_Red",...})"}).
struct Change {
    std::string key;
    std::optional<std::string> value;
};
inline const std::optional<std::string> gone;

// base with each change made in turn. A change replaces the entries at its
// key: the entry itself, those below it ("key.member", "key[0]") and the one
// above it that it refines (a null "lastRun" by "lastRun.time"); a key that is
// nowhere in the output goes after its siblings ("problems[2]" after
// "problems[1]"), or after the entry the change before it made.
Entries changed(Entries base, const std::vector<Change>& changes);

// The entries one a line, "key = value", for a comparison whose failure
// message lists the lines that differ; and back (a line without " = " is
// skipped, so that a text can start and end with a line feed).
std::string entriesText(const Entries& entries);
Entries parseEntries(std::string_view text);
