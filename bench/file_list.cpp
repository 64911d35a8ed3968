// Figures of reading a source folder into the file list, as the sorting
// session sets it up: one scan, the image mask, the shared name order.
#include "FileListBox.h"
#include "SortingSession.h"

#include <benchmark/benchmark.h>

#include <QApplication>
#include <QTemporaryDir>

#include <fstream>
#include <string>

namespace {

void ReadFolder(benchmark::State& state)
{
    QTemporaryDir dir;
    const std::string folder = dir.path().toStdString();
    const char* extensions[] = {".jpg", ".png", ".txt", ".JPG", ".tif"};
    for (int i = 0; i < state.range(0); ++i)
        std::ofstream(folder + "/IMG_" + std::to_string(100000 - i * 7) + extensions[i % 5]);
    TFileListBox list;
    ConfigureSessionFileList(list);
    list.SetDirectory(folder);
    for (auto _ : state)
        list.Update();
    state.counters["listed"] = list.Count();
    state.SetItemsProcessed(state.iterations() * state.range(0));
}
BENCHMARK(ReadFolder)->Arg(1000)->Arg(10000)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", qgetenv("QT_QPA_PLATFORM").isEmpty() ? "offscreen" : qgetenv("QT_QPA_PLATFORM"));
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
