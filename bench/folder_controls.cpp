// Figures of the folder drop-down and the file list view: placing the
// drop-down (the desktop, its folders and the drives), setting it to a deep
// folder (the chain of folders on the way), and listing a large folder of
// pictures in the file list view (names, attributes, columns, icons, order).
#include "FileListView.h"
#include "FolderDropDown.h"
#include "WidgetBenchmarkMain.h"

#include <benchmark/benchmark.h>

#include <QApplication>
#include <QTemporaryDir>
#include <QWidget>

#include <fcntl.h>
#include <memory>
#include <string>
#include <sys/stat.h>
#include <unistd.h>

namespace {

void PlaceDropDown(benchmark::State& state)
{
    QWidget host;
    int entries = 0;
    for (auto _ : state) {
        TFolderDropDown dropDown;
        dropDown.SetParent(&host);
        entries = dropDown.EntryCount();
    }
    state.counters["entries"] = entries;
}
BENCHMARK(PlaceDropDown)->Unit(benchmark::kMillisecond);

// A folder twelve levels below a temporary folder, each level with 50
// sibling folders that the walk passes by.
void SetDeepFolder(benchmark::State& state)
{
    QTemporaryDir dir;
    std::string folder = dir.path().toStdString();
    for (int level = 0; level < 12; ++level) {
        for (int sibling = 0; sibling < 50; ++sibling)
            ::mkdir((folder + "/sibling " + std::to_string(sibling)).c_str(), 0755);
        folder += "/level " + std::to_string(level);
        ::mkdir(folder.c_str(), 0755);
    }
    QWidget host;
    TFolderDropDown dropDown;
    dropDown.SetParent(&host);
    for (auto _ : state) {
        dropDown.setFolderName(folder);
        if (dropDown.FolderName() != folder)
            state.SkipWithError("the folder was not selected");
    }
    state.counters["entries"] = dropDown.EntryCount();
}
BENCHMARK(SetDeepFolder)->Unit(benchmark::kMillisecond);

void ListLargeFolder(benchmark::State& state)
{
    QTemporaryDir dir;
    const std::string folder = dir.path().toStdString() + "/pictures";
    ::mkdir(folder.c_str(), 0755);
    const int count = static_cast<int>(state.range(0));
    for (int i = 0; i < count; ++i) {
        const std::string name = folder + "/IMG_" + std::to_string(i * 7919 % count) + ".jpg";
        ::close(::open(name.c_str(), O_CREAT | O_WRONLY, 0644));
    }
    QWidget host;
    host.resize(600, 400);
    host.show();
    for (auto _ : state) {
        state.PauseTiming();
        auto list = std::make_unique<TFileListView>();
        list->SetParent(&host);
        list->SetViewStyle(vsReport);
        state.ResumeTiming();
        list->setFileName(folder);
        QApplication::processEvents();  // the layout of the rows
        if (list->Items().Count() != count)
            state.SkipWithError("not every file was listed");
        state.PauseTiming();
        list.reset();
        state.ResumeTiming();
    }
}
BENCHMARK(ListLargeFolder)->Arg(5000)->Arg(20000)->Unit(benchmark::kMillisecond)->Iterations(3);

}  // namespace

int main(int argc, char** argv)
{
    return RunWidgetBenchmarks(argc, argv, true);
}
