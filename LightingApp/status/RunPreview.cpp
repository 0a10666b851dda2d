#include "status/RunPreview.h"

#include "colorizers/ZoneColors.h"
#include "settings/RestorePlan.h"

RunFacts previewRun(bool modelKnown, const IColorizer* colorizer, const StoredSet& machine, const StoredSet& user,
                    const ColourPolicy& policy)
{
    RunFacts run;
    if (!modelKnown) {
        run.outcome = RunFacts::Outcome::ModelUnknown;
        return run;
    }
    if (colorizer == nullptr) {
        run.outcome = RunFacts::Outcome::ModelNotSupported;
        return run;
    }
    run.outcome = RunFacts::Outcome::Sends;
    if (policy.state == PolicyState::InForce) {
        run.fromPolicy = true;
        run.plan.values = policy.values;
    } else {
        run.plan = planRestore(machine, user, defaultZoneValues(*colorizer));
    }
    run.sent = controllerColors(*colorizer, run.plan.values);
    // Sends only with a whole plan and the bytes of both zones.
    if (run.sent.size() != 2 || run.plan.values.size() != zoneValueCount) {
        run.outcome = RunFacts::Outcome::ModelNotSupported;
    }
    return run;
}
