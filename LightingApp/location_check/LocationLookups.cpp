#include "location_check/LocationLookups.h"

#include "location_check/FileSecurity.h"
#include "location_check/FinalPath.h"
#include "location_check/ProfilesFolder.h"
#include "location_check/Volume.h"
#include "windows_wrappers/TokenInformation.h"

LocationLookups systemLookups()
{
    return {finalPathOf, volumePathOf, driveFactsOf, profilesFolder, ownerAndDaclOf, processToken};
}
