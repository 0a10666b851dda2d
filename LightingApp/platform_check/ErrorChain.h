#pragma once

#include <exception>
#include <string>

// The error's message followed by the message of every error it was raised
// from (nested with std::throw_with_nested), innermost last, joined by ": ".
std::string errorChainText(const std::exception& error);
