// Figures of the folder tree: placing it (the desktop level) and opening a
// folder of many subfolders (naming, attributes, icons and sorting of every
// child), with the icon theme a desktop would have.
#include "Application.h"
#include "FolderTreeView.h"

#include <benchmark/benchmark.h>

#include <QApplication>
#include <QTemporaryDir>
#include <QWidget>

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

void OpenLargeFolder(benchmark::State& state)
{
    QTemporaryDir dir;
    const std::string folder = dir.path().toStdString() + "/many";
    ::mkdir(folder.c_str(), 0755);
    for (int i = 0; i < state.range(0); ++i)
        ::mkdir((folder + "/Folder " + std::to_string(i * 7919 % 100000)).c_str(), 0755);
    QWidget host;
    host.resize(400, 600);
    host.show();
    int children = 0;
    for (auto _ : state) {
        state.PauseTiming();
        auto tree = std::make_unique<TFolderTreeView>();
        tree->SetParent(&host);
        tree->setFolderName(folder);
        state.ResumeTiming();
        // The selected folder is loaded and expanded, as a double-click does.
        tree->OpenFolder("Folder 0");
        QApplication::processEvents();  // the layout of the new rows
        children = tree->Selected()->Parent()->Count();
        state.PauseTiming();
        tree.reset();
        state.ResumeTiming();
    }
    state.counters["children"] = children;
}
BENCHMARK(OpenLargeFolder)->Arg(5000)->Unit(benchmark::kMillisecond)->Iterations(5);

}  // namespace

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", qgetenv("QT_QPA_PLATFORM").isEmpty() ? "offscreen" : qgetenv("QT_QPA_PLATFORM"));
    QApplication app(argc, argv);
    InitializeDesktop();
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
