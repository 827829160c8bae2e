// Moving PODs on the result map of full-region.fl (50 x 60, 30 existing PODs and the best new
// one): what one step costs, within a frame of 16 ms.
//
//   popmap_move_bench                              everything
//   popmap_move_bench --benchmark_filter=Step      one existing POD moved one cell: the
//                                                  figures, the service map and the texts
//   popmap_move_bench --benchmark_filter=Reopt     the same step with the best new POD searched
//                                                  again and moved there
//   popmap_move_bench --benchmark_filter=Edit      one area's population edited (the problem
//                                                  prepared again), the figures summed afresh
//                                                  and the best new POD searched again
//   popmap_move_bench --benchmark_filter=Repaint   the step as the window takes it and the map
//                                                  painted on the offscreen platform (the whole
//                                                  window: RepaintWindow)
//
// Each step walks an existing POD back and forth along a line, so every iteration moves it.

#include <benchmark/benchmark.h>

#include <stdexcept>
#include <string>

#include "app/modulestate.h"
#include "popmap/fastsearch.h"
#include "popmap/mapfile.h"
#include "popmap/moving.h"

#ifdef DAVRENTA_MOVE_BENCH_UI
#include <QApplication>
#include <QImage>

#include "popmap/forms/movemapfrm.h"
#include "shell/grid.h"
#endif

namespace davrenta {
namespace {

// full-region.fl with the one-POD search's result under a measure and method.
ModuleState Searched(int measure, int method) {
    ModuleState s;
    s.ModuleFlag = Study::PopMap;
    s.ProblemFileName = std::string(DAVRENTA_EXAMPLES_DIR) + "/full-region.fl";
    if (Status read = ReadMapFile(s); !read)
        throw std::runtime_error(read.message());
    s.fl.PerformanceMeasure = static_cast<Measure>(measure);
    s.fl.NewPodCount = 1;
    s.DistanceMethod = static_cast<Metric>(method);
    if (RunSearch(s).status != SearchStatus::Done)
        throw std::runtime_error("the search failed");
    return s;
}

void Step(benchmark::State& bench, bool reoptimise) {
    const Measure measure = static_cast<Measure>(bench.range(0));
    const ModuleState s =
        Searched(static_cast<int>(bench.range(0)), static_cast<int>(bench.range(1)));
    auto layout = MovingLayout::Start(s, NewPodCells(s.fl));
    if (!layout) {
        bench.SkipWithError(layout.message().c_str());
        return;
    }
    Table1<std::string, kMapLines> map;
    int direction = 1;
    for (auto _ : bench) {
        if (!layout->Step(1, 0, direction)) {
            direction = -direction;
            layout->Step(1, 0, direction);
        }
        if (reoptimise)
            benchmark::DoNotOptimize(layout->Reoptimise(measure));
        layout->ServiceMap(map, true);
        const LayoutTexts t = TextsOf(*layout, s.fl.TotalPopulation, s.DistanceMethod);
        benchmark::DoNotOptimize(t.figures.data());
        benchmark::DoNotOptimize(map[1].data());
    }
}

// An area's population edited back and forth between two values, as the window takes it.
void EditFull(benchmark::State& bench) {
    const Measure measure = static_cast<Measure>(bench.range(0));
    ModuleState s = Searched(static_cast<int>(bench.range(0)), static_cast<int>(bench.range(1)));
    auto layout = MovingLayout::Start(s, NewPodCells(s.fl));
    if (!layout) {
        bench.SkipWithError(layout.message().c_str());
        return;
    }
    const std::string values[] = {std::to_string(s.fl.AreaPopulation[1] * 2),
                                  std::to_string(s.fl.AreaPopulation[1])};
    Table1<std::string, kMapLines> map;
    int turn = 0;
    for (auto _ : bench) {
        if (Status edited = EditAreaPopulation(s, 1, values[turn]); !edited) {
            bench.SkipWithError(edited.message().c_str());
            return;
        }
        turn = 1 - turn;
        layout->TakePopulations(s.fl);
        benchmark::DoNotOptimize(layout->Reoptimise(measure));
        layout->ServiceMap(map, true);
        const LayoutTexts t = TextsOf(*layout, s.fl.TotalPopulation, s.DistanceMethod);
        benchmark::DoNotOptimize(t.figures.data());
        benchmark::DoNotOptimize(map[1].data());
    }
}

void StepFull(benchmark::State& bench) {
    Step(bench, false);
}
void ReoptFull(benchmark::State& bench) {
    Step(bench, true);
}

void EveryMeasureAndMethod(benchmark::internal::Benchmark* b) {
    b->ArgNames({"measure", "method"});
    for (int measure = 1; measure <= 3; ++measure)
        for (int method = 1; method <= 3; ++method)
            b->Args({measure, method});
}

BENCHMARK(StepFull)->Apply(EveryMeasureAndMethod)->Unit(benchmark::kMicrosecond);
BENCHMARK(ReoptFull)->Apply(EveryMeasureAndMethod)->Unit(benchmark::kMillisecond);
BENCHMARK(EditFull)->Apply(EveryMeasureAndMethod)->Unit(benchmark::kMillisecond);

#ifdef DAVRENTA_MOVE_BENCH_UI
// One step as the window takes it (the figures, the map's cells and colours) and the map
// painted into an image its size; Window paints the whole window instead.
void Repaint(benchmark::State& bench, bool wholeWindow) {
    ModuleState s = Searched(1, 1);
    s.fl.maptype = MapType::NewService;
    movemapfrm window(s);
    window.resize(1100, 800);
    window.show();
    QApplication::processEvents();
    QWidget* painted = wholeWindow ? static_cast<QWidget*>(&window) : window.mapgrd;
    QImage image(painted->size(), QImage::Format_ARGB32_Premultiplied);
    int direction = 1;
    for (auto _ : bench) {
        if (!window.StepPod(1, 0, direction)) {
            direction = -direction;
            window.StepPod(1, 0, direction);
        }
        painted->render(&image);
        benchmark::DoNotOptimize(image.bits());
    }
}
void RepaintFull(benchmark::State& bench) {
    Repaint(bench, false);
}
void RepaintWindowFull(benchmark::State& bench) {
    Repaint(bench, true);
}
BENCHMARK(RepaintFull)->Unit(benchmark::kMillisecond);
BENCHMARK(RepaintWindowFull)->Unit(benchmark::kMillisecond);
#endif

} // namespace
} // namespace davrenta

int main(int argc, char** argv) {
#ifdef DAVRENTA_MOVE_BENCH_UI
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
#endif
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
