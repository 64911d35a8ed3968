// Figures of the platform layer's hot paths: the name comparison that orders
// every file list, and copying and moving files.
#include "FileOps.h"
#include "TextCompare.h"

#include <benchmark/benchmark.h>

#include <QCoreApplication>
#include <QTemporaryDir>

#include <algorithm>
#include <fstream>
#include <random>
#include <string>
#include <vector>

namespace {

std::vector<std::string> fileNames(std::size_t count)
{
    std::mt19937 random(7);
    std::vector<std::string> names;
    const char* stems[] = {"IMG_", "img_", "Photo ", "写真", "DSC", "scan-"};
    for (std::size_t i = 0; i < count; ++i)
        names.push_back(std::string(stems[random() % 6]) + std::to_string(random() % 100000) + ".jpg");
    return names;
}

void SortFileNames(benchmark::State& state)
{
    const auto names = fileNames(std::size_t(state.range(0)));
    for (auto _ : state) {
        auto sorted = names;
        std::sort(sorted.begin(), sorted.end(), [](const auto& a, const auto& b) { return lstrcmpiA(a, b) < 0; });
        benchmark::DoNotOptimize(sorted.data());
    }
    state.SetItemsProcessed(state.iterations() * state.range(0));
}
BENCHMARK(SortFileNames)->Arg(1000)->Arg(10000)->Unit(benchmark::kMillisecond);

void writeBytes(const std::string& path, std::size_t bytes)
{
    std::ofstream out(path, std::ios::binary);
    std::string block(1 << 20, 'p');
    for (std::size_t done = 0; done < bytes; done += block.size())
        out.write(block.data(), std::streamsize(std::min(block.size(), bytes - done)));
}

void CopyFile(benchmark::State& state)
{
    QTemporaryDir dir;
    const std::string source = dir.path().toStdString() + "/source.jpg";
    const std::string target = dir.path().toStdString() + "/target.jpg";
    writeBytes(source, std::size_t(state.range(0)) << 20);
    for (auto _ : state)
        benchmark::DoNotOptimize(CopyFileA(source, target, 0));
    state.SetBytesProcessed(state.iterations() * (state.range(0) << 20));
}
BENCHMARK(CopyFile)->Arg(8)->Arg(64)->Unit(benchmark::kMillisecond);

void MoveAcrossFileSystems(benchmark::State& state)
{
    QTemporaryDir tmp;
    QTemporaryDir shm("/dev/shm/pictal-bench-XXXXXX");
    const std::string a = tmp.path().toStdString() + "/photo.jpg";
    const std::string b = shm.path().toStdString() + "/photo.jpg";
    writeBytes(a, std::size_t(state.range(0)) << 20);
    bool there = false;
    for (auto _ : state) {
        benchmark::DoNotOptimize(there ? MoveFileA(b, a) : MoveFileA(a, b));
        there = !there;
    }
    state.SetBytesProcessed(state.iterations() * (state.range(0) << 20));
}
BENCHMARK(MoveAcrossFileSystems)->Arg(8)->Arg(64)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
