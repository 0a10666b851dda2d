#include "application/RequestTable.h"

#include "application/Messages.h"
#include "application/TaskFileReport.h"
#include "application/UsageText.h"
#include "windows_wrappers/ConsoleOutput.h"

RequestFacts requestFacts(RequestKind kind)
{
    switch (kind) {
    case RequestKind::Restore:
        return {true, true, true, RunRequest::Restore, RunPurpose::Restore};
    case RequestKind::Colors:
        return {true, true, false, RunRequest::Colours, RunPurpose::ChangeLighting};
    case RequestKind::Brightness:
        return {true, true, false, RunRequest::Brightness, RunPurpose::ChangeLighting};
    case RequestKind::Default:
        return {true, true, false, RunRequest::Default, RunPurpose::ChangeLighting};
    case RequestKind::Help:
    case RequestKind::Invalid:
    case RequestKind::CreateTaskFile:
        return {true, false, false, std::nullopt, RunPurpose::Other};
    case RequestKind::Status:
        return {false, false, false, std::nullopt, RunPurpose::Other};
    }
    return {};
}

bool answerWithoutFirmware(const Request& request)
{
    switch (request.kind) {
    case RequestKind::Help:
        printUsage(request);
        return true;
    case RequestKind::Invalid:
        reportInvalidArguments(request);
        return false;
    case RequestKind::CreateTaskFile:
        if (reportTaskFile(request)) {
            return true;
        }
        break;
    case RequestKind::Restore:
    case RequestKind::Colors:
    case RequestKind::Brightness:
    case RequestKind::Default:
    case RequestKind::Status:
        break;
    }
    console() << Messages::requestFailed << std::endl;
    return false;
}

ColourSource storedColoursSource(const ColourPolicy& policy, StoredRoot reads)
{
    if (policy.state == PolicyState::InForce) {
        return ColourSource::Policy;
    }
    switch (reads) {
    case StoredRoot::Machine:
        return ColourSource::MachineKey;
    case StoredRoot::User:
        return ColourSource::UserKey;
    case StoredRoot::None:
        break;
    }
    return ColourSource::ModelDefaults;
}

ColourSource requestSource(RequestKind kind, const ColourPolicy& policy, StoredRoot reads)
{
    if (kind == RequestKind::Colors) {
        return ColourSource::CommandLine;
    }
    if (kind == RequestKind::Default) {
        return ColourSource::ModelDefaults;
    }
    return storedColoursSource(policy, reads);
}
