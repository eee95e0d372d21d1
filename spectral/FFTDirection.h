// The direction of a transform, named at every call of the two FFTs.
#pragma once

#include <cstdint>

enum class FFTDirection : uint8_t { Forward, Inverse };
