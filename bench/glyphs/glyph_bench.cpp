// Rendering the glyph sheet: the renderer, the plain reference rasterizer it
// must match, and the floor no renderer can beat (writing the sheet's bytes
// once). After the runs, prints the renderer's time as a share of both.

#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstring>
#include <map>
#include <string>
#include <vector>

#include "glyphs/glyph_rasterizer.h"
#include "reference_rasterizer.h"

namespace {

std::vector<std::uint8_t> sheetBuffer(int e) {
    return std::vector<std::uint8_t>(static_cast<std::size_t>(quorrin::glyphSheetStride(e)) * e);
}

void BM_RenderSheet(benchmark::State& state) {
    const int e = static_cast<int>(state.range(0));
    auto pixels = sheetBuffer(e);
    quorrin::GlyphRasterizer raster;
    for (auto _ : state) {
        raster.renderSheet(e, quorrin::glyphSheetStride(e), pixels.data());
        benchmark::DoNotOptimize(pixels.data());
        benchmark::ClobberMemory();
    }
}

// A live resize renders at a new size every time.
void BM_RenderSheetResizing(benchmark::State& state) {
    const int e = static_cast<int>(state.range(0));
    auto pixels = sheetBuffer(e + 1);
    quorrin::GlyphRasterizer raster;
    int side = e;
    for (auto _ : state) {
        side = side == e ? e + 1 : e;
        raster.renderSheet(side, quorrin::glyphSheetStride(side), pixels.data());
        benchmark::DoNotOptimize(pixels.data());
        benchmark::ClobberMemory();
    }
}

void BM_ReferenceSheet(benchmark::State& state) {
    const int e = static_cast<int>(state.range(0));
    auto pixels = sheetBuffer(e);
    quorrin::reference::Rasterizer ref;
    for (auto _ : state) {
        ref.renderSheet(e, quorrin::glyphSheetStride(e), pixels.data());
        benchmark::DoNotOptimize(pixels.data());
        benchmark::ClobberMemory();
    }
}

void BM_FillFloor(benchmark::State& state) {
    const int e = static_cast<int>(state.range(0));
    auto pixels = sheetBuffer(e);
    for (auto _ : state) {
        std::memset(pixels.data(), 255, pixels.size());
        benchmark::DoNotOptimize(pixels.data());
        benchmark::ClobberMemory();
    }
}

BENCHMARK(BM_RenderSheet)->Arg(40)->Arg(91)->Arg(363)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_RenderSheetResizing)->Arg(91)->Arg(363)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_ReferenceSheet)->Arg(40)->Arg(91)->Arg(363)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_FillFloor)->Arg(40)->Arg(91)->Arg(363)->Unit(benchmark::kMicrosecond);

// Keeps the real time per iteration of every run, for the summary.
class RecordingReporter : public benchmark::ConsoleReporter {
  public:
    RecordingReporter() : ConsoleReporter(OO_Tabular) {}
    void ReportRuns(const std::vector<Run>& runs) override {
        for (const Run& run : runs)
            if (run.run_type == Run::RT_Iteration && run.iterations > 0)
                seconds_[run.benchmark_name()] =
                    run.real_accumulated_time / static_cast<double>(run.iterations);
        ConsoleReporter::ReportRuns(runs);
    }
    double seconds(const std::string& name) const {
        auto it = seconds_.find(name);
        return it == seconds_.end() ? 0 : it->second;
    }

  private:
    std::map<std::string, double> seconds_;
};

}  // namespace

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
    RecordingReporter reporter;  // plain text, no colour codes
    benchmark::RunSpecifiedBenchmarks(&reporter);
    std::printf("\n%6s %12s %12s %12s %14s %14s\n", "side", "render ms", "reference ms", "floor ms",
                "render/ref", "render/floor");
    for (int e : {40, 91, 363}) {
        const std::string arg = "/" + std::to_string(e);
        const double render = reporter.seconds("BM_RenderSheet" + arg);
        const double ref = reporter.seconds("BM_ReferenceSheet" + arg);
        const double floor = reporter.seconds("BM_FillFloor" + arg);
        if (render <= 0) continue;
        std::printf("%6d %12.3f %12.3f %12.3f %14.4f %14.2f\n", e, render * 1e3, ref * 1e3,
                    floor * 1e3, ref > 0 ? render / ref : 0.0, floor > 0 ? render / floor : 0.0);
    }
    benchmark::Shutdown();
    return 0;
}
