#include "PrintableText.h"
#include "platform_check/ModelGeneration.h"

#include <gtest/gtest.h>

#include <string>

namespace {

using namespace std::string_literals;

struct ModelCase {
    std::wstring model;
    int generation;
};

void PrintTo(const ModelCase& model, std::ostream* out)
{
    *out << "'" << printable(model.model) << "'";
}

class ModelTexts : public ::testing::TestWithParam<ModelCase> {};

TEST_P(ModelTexts, MapToGenerationOnlyWhenExact)
{
    EXPECT_EQ(generationForModel(GetParam().model), GetParam().generation);
}

INSTANTIATE_TEST_SUITE_P(ModelGeneration, ModelTexts, ::testing::Values(
    ModelCase{L"Orvane VR Veltrin G1 Workstation", firstGeneration},
    ModelCase{L"Orvane VR Veltrin G2", secondGeneration},
    ModelCase{L"Orvane VR Veltrin G2 ", unsupportedGeneration},
    ModelCase{L" Orvane VR Veltrin G2", unsupportedGeneration},
    ModelCase{L"Orvane VR Veltrin G2 Workstation", unsupportedGeneration},
    ModelCase{L"orvane vr veltrin g2", unsupportedGeneration},
    ModelCase{L"ORVANE VR VELTRIN G2", unsupportedGeneration},
    ModelCase{L"Orvane VR Veltrin G1", unsupportedGeneration},
    ModelCase{L"Orvane VR Veltrin G", unsupportedGeneration},
    ModelCase{L"Orvane VR Veltrin G2\0"s, unsupportedGeneration},
    ModelCase{L"", unsupportedGeneration},
    ModelCase{L"Wine", unsupportedGeneration}));

} // namespace
