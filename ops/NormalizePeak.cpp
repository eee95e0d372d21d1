#include "ops/NormalizePeak.h"

void NormalizePeak(SignalStore& store, int16_t target) {
    ScaleToPeak(store.Samples, target);
}
