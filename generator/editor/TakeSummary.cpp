#include "generator/editor/TakeSummary.h"

#include <algorithm>

#include "generator/machine/TakeSamples.h"

using spoolex::TakeSamples;

namespace {

void resetExtremes(float* e) {
    e[0] = e[2] = 1e20f;
    e[1] = e[3] = -1e20f;
}

void merge(float* into, const float* from) {
    into[0] = std::min(into[0], from[0]);
    into[1] = std::max(into[1], from[1]);
    into[2] = std::min(into[2], from[2]);
    into[3] = std::max(into[3], from[3]);
}

} // namespace

void TakeSummary::foldRaw(TakeSamples& samples, int64_t a, int64_t b, float e[4]) {
    if (a >= b)
        return;
    // Pieces start on a frame: they begin at an even index and are an even
    // number of floats long.
    samples.forEach(static_cast<size_t>(2 * a), static_cast<size_t>(2 * b),
                    [e](const float* p, size_t n) { spoolex::foldFrames(p, n, e); });
}

void TakeSummary::foldBlocks(const std::vector<float>& blocks, int64_t first, int64_t end,
                             float e[4]) {
    for (int64_t k = first; k < end; ++k)
        merge(e, blocks.data() + 4 * k);
}

void TakeSummary::build(TakeSamples& samples) {
    frameCount = static_cast<int64_t>(samples.floatCount() / 2);
    const int64_t fineCount = (frameCount + fineBlock - 1) / fineBlock;
    fine.assign(static_cast<size_t>(4 * fineCount), 0.0f);
    for (int64_t k = 0; k < fineCount; ++k) {
        float* e = fine.data() + 4 * k;
        resetExtremes(e);
        foldRaw(samples, k * fineBlock, std::min((k + 1) * fineBlock, frameCount), e);
    }
    samples.release();
    constexpr int64_t perCoarse = coarseBlock / fineBlock;
    const int64_t coarseCount = (fineCount + perCoarse - 1) / perCoarse;
    coarse.assign(static_cast<size_t>(4 * coarseCount), 0.0f);
    for (int64_t k = 0; k < coarseCount; ++k) {
        float* e = coarse.data() + 4 * k;
        resetExtremes(e);
        foldBlocks(fine, k * perCoarse, std::min((k + 1) * perCoarse, fineCount), e);
    }
}

//   a     fine      coarse blocks      fine    b
//   |raw|-----|=====|=====|=====|-----|-----|raw|
void TakeSummary::fold(TakeSamples& samples, int64_t a, int64_t b, float e[4]) const {
    b = std::min(b, frameCount);
    if (b - a < 2 * fineBlock) {
        foldRaw(samples, a, b, e);
        return;
    }
    const int64_t fineFirst = (a + fineBlock - 1) / fineBlock;
    // A last block cut short by the take's end counts as whole.
    const int64_t fineEnd = b == frameCount ? (b + fineBlock - 1) / fineBlock : b / fineBlock;
    foldRaw(samples, a, std::min(fineFirst * fineBlock, b), e);
    foldRaw(samples, std::min(fineEnd * fineBlock, b), b, e);
    constexpr int64_t perCoarse = coarseBlock / fineBlock;
    const int64_t coarseFirst = (fineFirst + perCoarse - 1) / perCoarse;
    const int64_t coarseEnd = fineEnd == static_cast<int64_t>(fine.size() / 4)
                                  ? (fineEnd + perCoarse - 1) / perCoarse
                                  : fineEnd / perCoarse;
    if (coarseFirst >= coarseEnd) {
        foldBlocks(fine, fineFirst, fineEnd, e);
        return;
    }
    foldBlocks(fine, fineFirst, coarseFirst * perCoarse, e);
    foldBlocks(coarse, coarseFirst, coarseEnd, e);
    foldBlocks(fine, std::min(coarseEnd * perCoarse, fineEnd), fineEnd, e);
}
