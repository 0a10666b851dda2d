#pragma once

#include "lighting_library/Zone.h"

#include <memory>
#include <utility>
#include <vector>

namespace KestrineLightingLib {

class LightData;

// An ordered group of zones. Zones are shared, so a caller may keep a copy of
// the list and write colours through it.
class Page {
public:
    Page(LightData* creator, std::vector<std::shared_ptr<Zone>> pageZones) : owner(creator), zones(std::move(pageZones))
    {}
    virtual ~Page() = default;

    Page(const Page&) = delete;
    Page& operator=(const Page&) = delete;

    // The LightData that created this page. Not owned: the LightData owns the page.
    LightData* owner;
    std::vector<std::shared_ptr<Zone>> zones;
};

} // namespace KestrineLightingLib
