#pragma once

#include <string>

// The startup task file as an XML reader sees it.
struct TaskDocument {
    // False when the reader refused the bytes; error then says why.
    bool wellFormed = false;
    std::string error;
    // Elements named Command anywhere in the document.
    int commandCount = 0;
    // Whether the (first) Command sits at Task/Actions/Exec/Command.
    bool commandInPlace = false;
    // The text of the first Command, references resolved, in UTF-8.
    std::string commandText;
};

// Reads the bytes of a task file (UTF-16LE with a byte-order mark).
TaskDocument readTaskDocument(const std::string& fileBytes);
