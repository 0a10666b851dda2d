#include "ExpectedUsage.h"

std::string expectedUsage(const std::string& programName)
{
    const std::string& name = programName;
    return "\r\n"
           "USAGE:\r\n" +
           name + " (<r g b br>) [<r g b br>]\r\n"
           "    Colors are given as an RGB color value and a brightness.\r\n"
           "    RGB values are 0-255, and brightness is 0-100\r\n"
           "    each number separated by a space.\r\n"
           "    Each four consecutive numbers represents one RGB and brightness value.\r\n"
           "    If only one color is given, it is applied to both zones.\r\n"
           "    If two colors are given, the first is assigned to the Orvane logo\r\n"
           "    and the second to the vertical bar.\r\n"
           "    Note: On Orvane VR Veltrin G1 Workstation, only brightness can be set.\r\n"
           "    RGB input will be converted to luminosity and combined with brightness.\r\n"
           "Examples:\r\n"
           "    " + name + " 10\r\n"
           "    " + name + " 100 0\r\n"
           "    " + name + " 255 255 255 100\r\n"
           "    " + name + " 255 255 255 100 255 255 255 100\r\n"
           "    " + name + " \r\n"
           "    " + name + " default\r\n"
           "    " + name + " -h\r\n"
           "\r\n"
           "See the Readme for full documentation.\r\n";
}
