#include "platform_check/ModelGeneration.h"

const std::wstring firstGenerationModel = L"Orvane VR Veltrin G1 Workstation";
const std::wstring secondGenerationModel = L"Orvane VR Veltrin G2";

int generationForModel(const std::wstring& model)
{
    if (model == firstGenerationModel) {
        return firstGeneration;
    }
    if (model == secondGenerationModel) {
        return secondGeneration;
    }
    return unsupportedGeneration;
}
