#include "ServerObject.h"

namespace simulated_machine {

namespace {
std::atomic<long> liveObjects{0};
std::atomic<long> serverLocks{0};
} // namespace

bool ServerObject::unused() noexcept
{
    return liveObjects.load() == 0 && serverLocks.load() == 0;
}

void ServerObject::lockServer(bool lock) noexcept
{
    if (lock) {
        ++serverLocks;
    } else {
        --serverLocks;
    }
}

ServerObject::ServerObject() noexcept
{
    ++liveObjects;
}

ServerObject::~ServerObject()
{
    --liveObjects;
}

ULONG ServerObject::addReference() noexcept
{
    return ++references;
}

ULONG ServerObject::releaseReference() noexcept
{
    const ULONG remaining = --references;
    if (remaining == 0) {
        delete this;
    }
    return remaining;
}

} // namespace simulated_machine
