#pragma once

#include "status/StatusFacts.h"

// Works out what the facts read for "status" mean: the model's support, each
// key's state and each value's fate and replacement, whether each previewed
// run sends, whether LocalSystem's key error matters, the event source's and
// the task's state, the location verdict and the problems. The lines and the
// JSON word these and decide nothing of their own.
void decideStatus(StatusFacts& facts);
