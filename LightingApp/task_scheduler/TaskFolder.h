#pragma once

#include "windows_wrappers/ComApartment.h"

#include <windows.h>

#include <taskschd.h>
#include <wrl/client.h>

// The Task Scheduler's root folder, where the startup task is registered, or
// the status of the step that failed (creating the service object,
// connecting to the local Task Scheduler, opening the folder). The caller
// holds a COM apartment for as long as it uses the folder.
HRESULT openRootTaskFolder(Microsoft::WRL::ComPtr<ITaskFolder>& folder);

// Enters a COM apartment, opens the root folder and hands it to use, which
// returns its own status; the status of the step that failed otherwise.
template <class Use>
HRESULT withRootTaskFolder(Use use)
{
    const ComApartment apartment;
    if (!apartment.ready()) {
        return apartment.result();
    }
    Microsoft::WRL::ComPtr<ITaskFolder> root;
    const HRESULT result = openRootTaskFolder(root);
    return FAILED(result) ? result : use(*root.Get());
}

// Whether GetTask's (or DeleteTask's) answer means that no task, or no folder
// on its path, exists under that name: the Win32 errors ERROR_FILE_NOT_FOUND
// and ERROR_PATH_NOT_FOUND as HRESULTs.
bool isTaskNotFound(HRESULT result);
