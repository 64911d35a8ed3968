// Figures of the folder tree: placing it (the desktop level) and opening a
// folder of many subfolders (naming, attributes, icons and sorting of every
// child), with the icon theme a desktop would have.
#include "FolderTreeView.h"
#include "WidgetBenchmarkMain.h"

#include <benchmark/benchmark.h>

#include <QApplication>
#include <QTemporaryDir>
#include <QWidget>

#include <algorithm>
#include <chrono>
#include <memory>
#include <string>
#include <sys/stat.h>

namespace {

void PlaceTree(benchmark::State& state)
{
    QWidget host;
    for (auto _ : state) {
        TFolderTreeView tree;
        tree.SetParent(&host);
        benchmark::DoNotOptimize(tree.Items().Count());
    }
}
BENCHMARK(PlaceTree)->Unit(benchmark::kMillisecond);

// Opening a folder of many subfolders, timed; taking the tree down again
// (every node deleted, its record and icon given back) is the counter
// teardown_ms.
void OpenLargeFolder(benchmark::State& state)
{
    QTemporaryDir dir;
    const std::string folder = dir.path().toStdString() + "/many";
    ::mkdir(folder.c_str(), 0755);
    const int count = static_cast<int>(state.range(0));
    std::string last;  // the last name in the tree's order (digits compare as text)
    for (int i = 0; i < count; ++i) {
        const std::string name = "Folder " + std::to_string(i * 7919 % count);
        ::mkdir((folder + "/" + name).c_str(), 0755);
        last = std::max(last, name);
    }
    QWidget host;
    host.resize(400, 600);
    host.show();
    int children = 0;
    double teardown = 0;
    for (auto _ : state) {
        state.PauseTiming();
        auto tree = std::make_unique<TFolderTreeView>();
        tree->SetParent(&host);
        tree->setFolderName(folder);
        state.ResumeTiming();
        // The selected folder is loaded and expanded, as a double-click does,
        // and its last subfolder in the tree's order is selected by name
        // (a walk over every sibling).
        tree->OpenFolder(last);
        QApplication::processEvents();  // the layout of the new rows
        children = tree->Selected()->Parent()->Count();
        if (tree->Selected()->getNextSibling())
            state.SkipWithError("the last subfolder was not selected");
        state.PauseTiming();
        const auto start = std::chrono::steady_clock::now();
        tree.reset();
        teardown += std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
        state.ResumeTiming();
    }
    state.counters["children"] = children;
    state.counters["teardown_ms"] = teardown / static_cast<double>(state.iterations());
}
BENCHMARK(OpenLargeFolder)->Arg(5000)->Unit(benchmark::kMillisecond)->Iterations(5);
BENCHMARK(OpenLargeFolder)->Arg(100000)->Unit(benchmark::kMillisecond)->Iterations(3);

}  // namespace

int main(int argc, char** argv)
{
    return RunWidgetBenchmarks(argc, argv, true);
}
