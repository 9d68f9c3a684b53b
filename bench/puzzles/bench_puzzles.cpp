// Solver and generator speed on generated puzzles.
//
// BM_Analyse/N/G: complete search (up to two solutions) plus grading of an
// N x N puzzle of grade G, one of eight puzzles per iteration in turn.
// BM_Generate/N/G: one N x N puzzle of grade G, a new seed every iteration.
// Grade 4 (needs guessing) is measured at 10 x 10 and 20 x 20 only.
#include <benchmark/benchmark.h>

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
BENCHMARK(BM_Generate)
    ->ArgsProduct({{30, 40}, {1, 2, 3}})
    ->Unit(benchmark::kMillisecond)
    ->Iterations(3);

}  // namespace

BENCHMARK_MAIN();
