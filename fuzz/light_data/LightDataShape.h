#pragma once

#include "lighting_library/LightData.h"

#include <cstddef>
#include <cstdint>
#include <memory>

// Light data of any shape, read from fuzz input, in this order:
//   command    one byte: below 0x80 the command value is that byte modulo 6
//              (0 to 5, so the four valid values and two invalid ones come up
//              often); from 0x80 on, the 4 bytes after it are the value
//              (little-endian), so that any value can come up;
//   pages      one byte, the number of pages N;
//   zones      one byte, the zones in each page M;
//   flags      one byte: 1 = each page reads its own zone count (one byte
//              before its zones), 2 = holes (one byte before each page and
//              each zone; 0 makes that entry null), 4 = the firmware refuses
//              the call, 8 = no light data at all (a null pointer);
//   the rest   red, green, blue of each zone in turn.
// Missing bytes read as defaults (no flags, white zones, no holes). The shape
// is cut to 1024 zones in all (zones per page shrunk to fit, ragged pages
// getting what is left), which is still far more than the block can hold.
struct LightDataShape {
    std::shared_ptr<KestrineLightingLib::LightData> lightData;
    bool firmwareRefuses = false;
};

LightDataShape lightDataShapeOf(const std::uint8_t* data, std::size_t size);
