#include "application/UsageText.h"

#include "application/Messages.h"
#include "windows_wrappers/ConsoleOutput.h"

namespace {
constexpr const wchar_t* indent = L"    ";
}

void writeUsage(std::wostream& out, const std::wstring& programName)
{
    out << std::endl;
    out << L"USAGE:" << std::endl;
    out << programName << L" (<r g b br>) [<r g b br>]" << std::endl;
    out << indent << L"Colors are given as an RGB color value and a brightness." << std::endl;
    out << indent << L"RGB values are 0-255, and brightness is 0-100" << std::endl;
    out << indent << L"each number separated by a space." << std::endl;
    out << indent << L"Each four consecutive numbers represents one RGB and brightness value." << std::endl;
    out << indent << L"If only one color is given, it is applied to both zones." << std::endl;
    out << indent << L"If two colors are given, the first is assigned to the Orvane logo" << std::endl;
    out << indent << L"and the second to the vertical bar." << std::endl;
    out << indent << L"Note: On Orvane VR Veltrin G1 Workstation, only brightness can be set." << std::endl;
    out << indent << L"RGB input will be converted to luminosity and combined with brightness." << std::endl;
    out << L"Examples:" << std::endl;
    out << indent << programName << L" 10" << std::endl;
    out << indent << programName << L" 100 0" << std::endl;
    out << indent << programName << L" 255 255 255 100" << std::endl;
    out << indent << programName << L" 255 255 255 100 255 255 255 100" << std::endl;
    out << indent << programName << L" " << std::endl;
    out << indent << programName << L" default" << std::endl;
    out << indent << programName << L" -h" << std::endl;
    out << std::endl;
    out << L"See the Readme for full documentation." << std::endl;
}

void printUsage(const Request& request)
{
    writeUsage(console(), request.programName);
}

void reportInvalidArguments(const Request& request)
{
    std::wostream& out = console();
    out << Messages::invalidArguments << std::endl;
    printUsage(request);
    out << Messages::requestFailed << std::endl;
}
