// Cost of one judgement: a 259-byte near miss that runs every rule, a short typical answer, and
// as the baseline the plain full-table distance that the verdict rules would otherwise compute.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <string>

#include "judging/verdict.h"

namespace {

// 259 letters without long repeats, so no rule can stop early by luck.
std::string storedLong()
{
    std::string text;
    unsigned seed = 12345;
    while (text.size() < 259) {
        seed = seed * 1103515245u + 12345u;
        text.push_back(static_cast<char>('A' + (seed >> 16) % 26));
    }
    return text;
}

// Ends changed (so no shared head or tail shortens the distance) and three bytes dropped in the
// middle (so the containment scan runs and fails): "y a de l'idée" after every rule was tried.
std::string typedNearMiss(const std::string& stored)
{
    std::string text = stored;
    text.front() = text.front() == 'Z' ? 'Y' : 'Z';
    text.back() = text.back() == 'Z' ? 'Y' : 'Z';
    text.erase(100, 1);
    text.erase(150, 1);
    text.erase(200, 1);
    std::transform(text.begin(), text.end(), text.begin(), [](char c) { return static_cast<char>(c + 32); });
    return "  " + text + " ";
}

void BM_JudgeNearMiss259(benchmark::State& state)
{
    const std::string stored = storedLong();
    const std::string typed = typedNearMiss(stored);
    if (judgeTexts(typed.c_str(), stored.c_str()) != Verdict::Similar)
        state.SkipWithError("the near miss does not reach the last rule");
    for (auto _ : state)
        benchmark::DoNotOptimize(judgeTexts(typed.c_str(), stored.c_str()));
}
BENCHMARK(BM_JudgeNearMiss259);

void BM_JudgeTypicalShort(benchmark::State& state)
{
    const char* stored = "Tour Eiffel";
    const char* typed = " tour eifel";
    if (judgeTexts(typed, stored) != Verdict::OneEdit)
        state.SkipWithError("unexpected verdict");
    for (auto _ : state)
        benchmark::DoNotOptimize(judgeTexts(typed, stored));
}
BENCHMARK(BM_JudgeTypicalShort);

void BM_DistanceOnly259(benchmark::State& state)
{
    const std::string stored = storedLong();
    const std::string typed = typedNearMiss(stored);
    const NormalisedText a = normaliseTyped(typed.c_str());
    const NormalisedText b = normaliseStored(stored.c_str());
    for (auto _ : state)
        benchmark::DoNotOptimize(editDistance(a.bytes, a.length, b.bytes, b.length));
}
BENCHMARK(BM_DistanceOnly259);

// Baseline: the whole 260 x 260 table, no shortcut.
int fullTableDistance(const char* a, int aLength, const char* b, int bLength)
{
    static int table[kTextSize][kTextSize];
    for (int i = 0; i <= aLength; ++i)
        table[i][0] = i;
    for (int j = 0; j <= bLength; ++j)
        table[0][j] = j;
    for (int i = 1; i <= aLength; ++i)
        for (int j = 1; j <= bLength; ++j)
            table[i][j] = std::min(
                {table[i - 1][j] + 1, table[i][j - 1] + 1, table[i - 1][j - 1] + (a[i - 1] == b[j - 1] ? 0 : 1)});
    return table[aLength][bLength];
}

void BM_BaselineFullTable259(benchmark::State& state)
{
    const std::string stored = storedLong();
    const std::string typed = typedNearMiss(stored);
    const NormalisedText a = normaliseTyped(typed.c_str());
    const NormalisedText b = normaliseStored(stored.c_str());
    if (fullTableDistance(a.bytes, a.length, b.bytes, b.length) != editDistance(a.bytes, a.length, b.bytes, b.length))
        state.SkipWithError("baseline disagrees");
    for (auto _ : state)
        benchmark::DoNotOptimize(fullTableDistance(a.bytes, a.length, b.bytes, b.length));
}
BENCHMARK(BM_BaselineFullTable259);

}  // namespace

BENCHMARK_MAIN();
