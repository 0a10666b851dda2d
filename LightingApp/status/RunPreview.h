#pragma once

#include "colorizers/IColorizer.h"
#include "policy/ColourPolicy.h"
#include "settings/StoredSet.h"
#include "status/StatusFacts.h"

// What a run without arguments would do on this machine with these keys:
// nothing without a model (modelKnown false) or a colorizer for it; else the
// restore plan for the colorizer's defaults (or, under a policy in force,
// the policy's colours, with nothing read or stored) and the zone bytes the
// firmware would get. Sends nothing and changes nothing.
RunFacts previewRun(bool modelKnown, const IColorizer* colorizer, const StoredSet& machine, const StoredSet& user,
                    const ColourPolicy& policy);
