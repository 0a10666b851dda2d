#pragma once

#include <cstdint>

// An RGB value, copied by value.
class Color {
public:
    Color(std::uint8_t r, std::uint8_t g, std::uint8_t b) : red(r), green(g), blue(b) {}
    virtual ~Color() = default;

    Color(const Color&) = default;
    Color& operator=(const Color&) = default;

    bool operator==(const Color& other) const { return red == other.red && green == other.green && blue == other.blue; }

    std::uint8_t red;
    std::uint8_t green;
    std::uint8_t blue;
};
