#pragma once

// "status": the machine's model and what it supports, the colours stored in
// the machine key and in the user's key, and whether the startup task is
// registered and what it runs. Sends nothing to the firmware and creates or
// writes nothing in the registry; works on any machine.
void printStatus();
