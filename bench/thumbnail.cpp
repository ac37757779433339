// glyphary-icons thumbnail -s 256 as a file manager runs it, one process per file: a 100 MB program
// whose icon lies past 100 MB of code, and the same program without the padding. Target: under
// 20 ms for the large one; its peak memory (maxrss) shows that the file is mapped, not read. The
// same work in process (map, choose, decode, scale, encode) shows what the process start adds.
// `bench_thumbnail --write-large-program PATH` only writes the 100 MB program (for bench/thumbnail.sh).
// maxrss is an upper bound: it includes this process's own peak, which the tool starts from.

#include "formats/ByteReader.h"
#include "support/PeBuilder.h"
#include "formats/Png.h"
#include "tools/glyphary-icons/Thumbnail.h"

#include <QBuffer>
#include <QFile>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <string>

#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>

extern char** environ;

namespace {

using namespace glyphary;
using formats::ByteVector;

constexpr std::uint32_t kPadding = 100u << 20;

// One icon group of the sizes programs carry, 16 to 256 pixels at 32 bpp.
ByteVector program(bool padded)
{
    testing::ResourceBuilder builder;
    builder.iconGroup(formats::ResourceName::byId(1), {testing::dibImage(32, 16), testing::dibImage(32, 32),
        testing::dibImage(32, 48), testing::dibImage(32, 256)});
    ByteVector file = builder.pe32();
    if (!padded)
        return file;
    // .rsrc moves behind the padding: its RVAs stay, its file offset does not. The padding belongs to
    // no section (a larger .text would take in the RVAs of .rsrc).
    const std::size_t resources = testing::pe_layout::resourceSectionHeader(false);
    const std::uint32_t resourcesAt = *formats::ByteReader(file).u32le(resources + 20);
    formats::setU32le(file, resources + 20, resourcesAt + kPadding);
    file.insert(file.begin() + static_cast<std::ptrdiff_t>(resourcesAt), kPadding, 0xCC);
    return file;
}

bool writeFile(const std::string& path, const ByteVector& bytes)
{
    std::ofstream out(path, std::ios::binary);
    out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    return static_cast<bool>(out);
}

std::string toolPath() { return (std::filesystem::read_symlink("/proc/self/exe").parent_path() / "glyphary-icons").string(); }

struct Run {
    int status = -1;
    long maxRssKb = 0;
};

// One process, waited for with its own resource usage.
Run thumbnail(const std::string& input, const std::string& output)
{
    const std::string tool = toolPath();
    std::string args[] = {tool, "thumbnail", "-s", "256", input, output};
    char* argv[] = {args[0].data(), args[1].data(), args[2].data(), args[3].data(), args[4].data(), args[5].data(), nullptr};
    pid_t pid = 0;
    if (posix_spawn(&pid, tool.c_str(), nullptr, nullptr, argv, environ) != 0)
        return {};
    int status = 0;
    rusage usage{};
    if (wait4(pid, &status, 0, &usage) != pid)
        return {};
    return {WIFEXITED(status) ? WEXITSTATUS(status) : -1, usage.ru_maxrss};
}

// The program written by a child process: a child's peak memory counts its parent's (posix_spawn
// shares the parent's memory until exec), so this process never holds the 100 MB itself.
bool writeProgram(const std::string& path, bool padded)
{
    const std::string self = std::filesystem::read_symlink("/proc/self/exe").string();
    std::string args[] = {self, padded ? "--write-large-program" : "--write-small-program", path};
    char* argv[] = {args[0].data(), args[1].data(), args[2].data(), nullptr};
    pid_t pid = 0;
    int status = 0;
    return posix_spawn(&pid, self.c_str(), nullptr, nullptr, argv, environ) == 0 && waitpid(pid, &status, 0) == pid
        && WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

void BM_Thumbnail(benchmark::State& state, bool padded)
{
    QTemporaryDir dir;
    const std::string input = dir.filePath(QStringLiteral("program.exe")).toStdString();
    const std::string output = dir.filePath(QStringLiteral("thumb.png")).toStdString();
    if (!writeProgram(input, padded)) {
        state.SkipWithError("cannot write the program");
        return;
    }
    long maxRss = 0;
    for (auto _ : state) {
        const Run run = thumbnail(input, output);
        if (run.status != 0) {
            state.SkipWithError("glyphary-icons thumbnail failed");
            return;
        }
        maxRss = std::max(maxRss, run.maxRssKb);
    }
    state.counters["file_MB"] = static_cast<double>(std::filesystem::file_size(input)) / (1 << 20);
    state.counters["maxrss_MB"] = static_cast<double>(maxRss) / 1024;
}
BENCHMARK_CAPTURE(BM_Thumbnail, program_100MB, true)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK_CAPTURE(BM_Thumbnail, program_small, false)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_ThumbnailInProcess(benchmark::State& state)
{
    QTemporaryDir dir;
    QFile file(dir.filePath(QStringLiteral("program.exe")));
    if (!writeProgram(file.fileName().toStdString(), true) || !file.open(QIODevice::ReadOnly)) {
        state.SkipWithError("cannot write the program");
        return;
    }
    for (auto _ : state) {
        const uchar* mapped = file.map(0, file.size());
        const tools::Thumbnail made = tools::thumbnailOf(formats::Bytes(mapped, static_cast<std::size_t>(file.size())), 256);
        const auto png = formats::encodeFastPng(made.picture);
        if (!png) {
            state.SkipWithError("no thumbnail");
            return;
        }
        file.unmap(const_cast<uchar*>(mapped));
        benchmark::DoNotOptimize(png->size());
    }
}
BENCHMARK(BM_ThumbnailInProcess)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv)
{
    if (argc == 3 && std::strcmp(argv[1], "--write-large-program") == 0)
        return writeFile(argv[2], program(true)) ? 0 : 1;
    if (argc == 3 && std::strcmp(argv[1], "--write-small-program") == 0)
        return writeFile(argv[2], program(false)) ? 0 : 1;
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
