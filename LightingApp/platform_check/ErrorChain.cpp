#include "platform_check/ErrorChain.h"

namespace {

void appendNested(const std::exception& error, std::string& text)
{
    try {
        std::rethrow_if_nested(error);
    } catch (const std::exception& cause) {
        text += ": ";
        text += cause.what();
        appendNested(cause, text);
    } catch (...) {
        text += ": unknown error";
    }
}

} // namespace

std::string errorChainText(const std::exception& error)
{
    std::string text = error.what();
    appendNested(error, text);
    return text;
}

std::optional<std::int32_t> wmiStatusOf(const std::exception& error)
{
    if (const auto* step = dynamic_cast<const WmiStepError*>(&error)) {
        return step->status();
    }
    try {
        std::rethrow_if_nested(error);
    } catch (const std::exception& cause) {
        return wmiStatusOf(cause);
    } catch (...) {
    }
    return std::nullopt;
}
