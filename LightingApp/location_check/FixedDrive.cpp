#include "location_check/FixedDrive.h"

bool isFixedLocalDrive(const DriveFacts& drive)
{
    if (drive.type != DRIVE_FIXED || !drive.bus) {
        return false;
    }
    switch (*drive.bus) {
    case BusTypeUsb:
    case BusType1394:
    case BusTypeSd:
    case BusTypeMmc:
        return false;
    default:
        return true;
    }
}
