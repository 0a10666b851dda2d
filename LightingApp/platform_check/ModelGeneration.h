#pragma once

#include <string>

// Generation codes: which colorizer the machine needs.
inline constexpr int firstGeneration = 0;  // brightness only
inline constexpr int secondGeneration = 1; // RGB and brightness
inline constexpr int unsupportedGeneration = 2;

// The "Model" texts of the supported machines.
extern const std::wstring firstGenerationModel;
extern const std::wstring secondGenerationModel;

// The generation code for a model text. Only an exact match counts: no
// trimming, no case folding, no prefix match.
int generationForModel(const std::wstring& model);
