#pragma once

#include "colorizers/IColorizer.h"
#include "settings/StoredSet.h"
#include "status/StatusFacts.h"

// What a run without arguments would do on this machine with these keys:
// nothing without a model (modelKnown false) or a colorizer for it; else the
// restore plan for the colorizer's defaults and the zone bytes the firmware
// would get. Sends nothing and changes nothing.
RunFacts previewRun(bool modelKnown, const IColorizer* colorizer, const StoredSet& machine, const StoredSet& user);
