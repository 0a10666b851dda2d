#pragma once

#include "application/Request.h"

// Says on the console whether --create-xml wrote its file: one line when it
// did, the failure line when it did not. True when the file was written; the
// caller adds "Request Failed" otherwise.
bool reportTaskFile(const Request& request);
