// The program's own code for "255 0 0 100", with the time of each step written
// to standard error, so that the benchmark can say where the program's time
// goes without timing code in the program itself.
//
//   bench_program_steps.exe program|steps|nothing
//
//   program  the program's path as main.cpp takes it: parse, Platform(),
//            handleRequest
//   steps    the same work split into its parts, in the order Platform does
//            them for a colour request
//   steps-one-apartment
//            as steps, inside one COM apartment held for the whole run (what
//            the program would save by not ending COM between the platform
//            check and the firmware call)
//   nothing  returns at once: the cost of starting an executable that carries
//            the program's code and static initialisers

#include "Phases.h"

#include "application/ColorizerFactory.h"
#include "application/Parser.h"
#include "application/Platform.h"
#include "application/RequestLock.h"
#include "colorizers/ZoneColors.h"
#include "platform_check/GenerationDetection.h"
#include "settings/RegistryController.h"

#include <objbase.h>

#include <array>
#include <string_view>

namespace {

// As the program would receive "255 0 0 100".
constexpr std::array<const wchar_t*, 5> arguments = {L"VeltrinLighting.exe", L"255", L"0", L"0", L"100"};

void runProgram(Phases& phases)
{
    Parser parser;
    const auto request = parser.parse(static_cast<int>(arguments.size()), arguments.data());
    phases.mark("parse");
    Platform platform;
    phases.mark("Platform()");
    platform.handleRequest(*request);
    phases.mark("handleRequest");
}

void runSteps(Phases& phases)
{
    const ZoneValues values = {255, 0, 0, 100, 255, 0, 0, 100};
    const auto colorizer = ColorizerFactory().createColorizer(detectGeneration());
    phases.mark("platform check");
    const RegistryController registry;
    phases.mark("registry check");
    {
        const RequestLock lock;
        phases.mark("request lock");
        colorizer->setColors(colorsWithBrightness(values));
        phases.mark("firmware call");
        registry.writeColors(values);
        phases.mark("registry write");
    }
    phases.mark("unlock");
}

} // namespace

int wmain(int argc, wchar_t* argv[])
{
    const std::wstring_view mode = argc > 1 ? argv[1] : L"program";
    if (mode == L"nothing") {
        return 0;
    }
    Phases phases(true);
    if (mode == L"program") {
        runProgram(phases);
    } else if (mode == L"steps") {
        runSteps(phases);
    } else if (mode == L"steps-one-apartment") {
        const HRESULT status = CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
        phases.mark("com init");
        runSteps(phases);
        if (SUCCEEDED(status)) {
            CoUninitialize();
        }
        phases.mark("com uninit");
    } else {
        return 2;
    }
    return 0;
}
