// Solver and generator speed on generated puzzles.
//
// BM_Analyse/N/G: complete search (up to two solutions) plus grading of an
// N x N puzzle of grade G, one of eight puzzles per iteration in turn.
// BM_Generate/N/G: one N x N puzzle of grade G, a new seed every iteration.
// Grade 4 (needs guessing) is measured at 10 x 10 and 20 x 20 only.
// BM_GenerateHard/W/H: one W x H puzzle of grade 3 per repetition, seeds 1 to
// 10; the median processor time is the figure, and share_of_goal is it as a
// share of the time the best open generator of these puzzles takes for its
// hardest grade at that size on this kind of machine (below 1: faster).
#include <benchmark/benchmark.h>

#include <ctime>
#include <map>
#include <utility>
#include <vector>

#include "loop_generator.h"

namespace {

using quorrin::GeneratedPuzzle;
using quorrin::GeneratorOptions;

const std::vector<quorrin::LoopPuzzle>& puzzlesOf(int w, int h, int grade) {
    static std::map<std::pair<int, std::pair<int, int>>, std::vector<quorrin::LoopPuzzle>> cache;
    auto& list = cache[{grade, {w, h}}];
    if (list.empty()) {
        for (std::uint64_t seed = 1; seed <= 8; ++seed) {
            GeneratorOptions o;
            o.width = w;
            o.height = h;
            o.grade = grade;
            o.seed = seed * 7919;
            GeneratedPuzzle g;
            if (quorrin::generatePuzzle(o, g)) list.push_back(g.puzzle);
        }
    }
    return list;
}

void BM_Analyse(benchmark::State& state) {
    const int n = static_cast<int>(state.range(0)), grade = static_cast<int>(state.range(1));
    const auto& list = puzzlesOf(n, n, grade);
    if (list.empty()) {
        state.SkipWithError("no puzzles");
        return;
    }
    size_t i = 0;
    for (auto _ : state) {
        quorrin::LoopAnalysis a = quorrin::analysePuzzle(list[i++ % list.size()]);
        if (a.solutions != 1) state.SkipWithError("not unique");
        benchmark::DoNotOptimize(a.grade);
    }
}

void BM_CountSolutionsOnly(benchmark::State& state) {
    const int w = static_cast<int>(state.range(0)), h = static_cast<int>(state.range(1));
    const auto& list = puzzlesOf(w, h, quorrin::kGradeHard);
    if (list.empty()) {
        state.SkipWithError("no puzzles");
        return;
    }
    size_t i = 0;
    for (auto _ : state) {
        quorrin::LoopSolver solver(list[i++ % list.size()]);
        benchmark::DoNotOptimize(solver.countSolutions(2));
    }
}

void BM_Generate(benchmark::State& state) {
    GeneratorOptions o;
    o.width = o.height = static_cast<int>(state.range(0));
    o.grade = static_cast<int>(state.range(1));
    std::uint64_t seed = 1;
    for (auto _ : state) {
        o.seed = seed++;
        GeneratedPuzzle g;
        if (!quorrin::generatePuzzle(o, g)) state.SkipWithError("no puzzle");
        benchmark::DoNotOptimize(g.puzzle.clues.data());
    }
}

void BM_GenerateHard(benchmark::State& state) {
    static std::map<std::pair<std::int64_t, std::int64_t>, std::uint64_t> seeds;
    GeneratorOptions o;
    o.width = static_cast<int>(state.range(0));
    o.height = static_cast<int>(state.range(1));
    o.grade = quorrin::kGradeHard;
    const double goalMs = static_cast<double>(state.range(2));
    for (auto _ : state) {
        o.seed = ++seeds[{state.range(0), state.range(1)}];
        GeneratedPuzzle g;
        const std::clock_t start = std::clock();
        if (!quorrin::generatePuzzle(o, g)) state.SkipWithError("no puzzle");
        const double ms = 1000.0 * static_cast<double>(std::clock() - start) / CLOCKS_PER_SEC;
        state.counters["share_of_goal"] = ms / goalMs;
    }
}

BENCHMARK(BM_Analyse)->ArgsProduct({{10, 20, 30, 40}, {1, 2, 3, 4}})->Unit(benchmark::kMillisecond);
BENCHMARK(BM_CountSolutionsOnly)
    ->Args({10, 10})
    ->Args({20, 20})
    ->Args({30, 30})
    ->Args({40, 40})
    ->Args({44, 44})
    ->Args({62, 31})
    ->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Generate)->ArgsProduct({{10, 20}, {1, 2, 3, 4}})->Unit(benchmark::kMillisecond);
// Width, height and the reference's time in milliseconds.
BENCHMARK(BM_GenerateHard)
    ->Args({10, 10, 5})
    ->Args({20, 20, 350})
    ->Args({30, 20, 1100})
    ->Args({30, 30, 2600})
    ->Args({40, 40, 12000})
    ->Unit(benchmark::kMillisecond)
    ->MeasureProcessCPUTime()
    ->Iterations(1)
    ->Repetitions(10)
    ->ReportAggregatesOnly(true);

}  // namespace

BENCHMARK_MAIN();
