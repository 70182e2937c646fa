// SPDX-License-Identifier: GPL-3.0-or-later
// Load and Store of a stream of 256 MB and more, against one read() or write() of the same bytes.
// Two shapes: rows already 4-byte aligned (whole frames move as one block) and an odd width (rows
// move one at a time through the archive's buffer).

#include <benchmark/benchmark.h>

#include <cstdlib>
#include <fcntl.h>
#include <filesystem>
#include <map>
#include <memory>
#include <unistd.h>

#include "io/Archive.h"
#include "stream/ImageStream.h"

namespace {
struct Shape {
    int width, height, frames;
};
constexpr Shape kAligned{1024, 1024, 256};  // 256 MiB
constexpr Shape kOdd{1001, 1000, 269};      // 256.7 MiB in the file

std::filesystem::path FilePath(const Shape& shape)
{
    return std::filesystem::temp_directory_path() /
           ("kvt-bench-" + std::to_string(shape.width) + "-" + std::to_string(::getpid()) + ".kvt");
}

std::uint64_t FileBytes(const Shape& shape)
{
    return 24 + std::uint64_t{static_cast<unsigned>(shape.width)} * shape.height * shape.frames;
}

std::unique_ptr<CImageStream> MakeStream(const Shape& shape)
{
    auto stream = std::make_unique<CImageStream>();
    stream->Initialize(shape.width, shape.height, static_cast<std::uint16_t>(shape.frames));
    for (int k = 0; k < shape.frames; ++k) {
        FrameBuffer frame = AllocateFrameBuffer(stream->GetFrameBytes());
        for (int y = 0; y < shape.height; ++y)
            std::fill_n(frame.get() + y * stream->GetRowStride(), shape.width, static_cast<BYTE>(k + y));
        stream->AppendFrame(std::move(frame));
    }
    return stream;
}

// The file on disk (and so in the page cache) for the loads.
const std::filesystem::path& StoredFile(const Shape& shape)
{
    static std::map<int, std::filesystem::path> files;
    auto [it, added] = files.try_emplace(shape.width, FilePath(shape));
    if (added) {
        CArchive ar(it->second, CArchive::store);
        MakeStream(shape)->Store(ar);
        ar.Close();
        std::atexit([] {
            for (const auto& [width, path] : files)
                std::filesystem::remove(path);
        });
    }
    return it->second;
}

void SetBytes(benchmark::State& state, const Shape& shape)
{
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * FileBytes(shape)));
}

void Store(benchmark::State& state, const Shape& shape)
{
    const auto stream = MakeStream(shape);
    const auto path = FilePath(shape).concat(".out");
    for (auto _ : state) {
        CArchive ar(path, CArchive::store);
        if (!stream->Store(ar) || !ar.Close())
            state.SkipWithError("Store failed");
    }
    std::filesystem::remove(path);
    SetBytes(state, shape);
}

void OneWrite(benchmark::State& state, const Shape& shape)
{
    const std::uint64_t bytes = FileBytes(shape);
    std::unique_ptr<char[]> data(new char[bytes]());
    const auto path = FilePath(shape).concat(".out");
    for (auto _ : state) {
        const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
        std::uint64_t done = 0;
        for (ssize_t n; done < bytes && (n = ::write(fd, data.get() + done, bytes - done)) > 0;)
            done += static_cast<std::uint64_t>(n);
        ::close(fd);
        if (done != bytes)
            state.SkipWithError("write failed");
    }
    std::filesystem::remove(path);
    SetBytes(state, shape);
}

void Load(benchmark::State& state, const Shape& shape)
{
    const auto& path = StoredFile(shape);
    for (auto _ : state) {
        CImageStream stream;
        CArchive ar(path, CArchive::load);
        if (!stream.Load(ar))
            state.SkipWithError("Load failed");
        benchmark::DoNotOptimize(stream.GetFrameAt(stream.GetHeadPosition()));
    }
    SetBytes(state, shape);
}

// One read into a fresh buffer, as Load reads into fresh frames.
void OneRead(benchmark::State& state, const Shape& shape)
{
    const auto& path = StoredFile(shape);
    const std::uint64_t bytes = FileBytes(shape);
    for (auto _ : state) {
        std::unique_ptr<char, decltype(&std::free)> data(static_cast<char*>(std::malloc(bytes)), &std::free);
        const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
        std::uint64_t done = 0;
        for (ssize_t n; done < bytes && (n = ::read(fd, data.get() + done, bytes - done)) > 0;)
            done += static_cast<std::uint64_t>(n);
        ::close(fd);
        if (done != bytes)
            state.SkipWithError("read failed");
        benchmark::DoNotOptimize(data.get());
    }
    SetBytes(state, shape);
}

template <const Shape& S>
void BM_Store(benchmark::State& state) { Store(state, S); }
template <const Shape& S>
void BM_OneWrite(benchmark::State& state) { OneWrite(state, S); }
template <const Shape& S>
void BM_Load(benchmark::State& state) { Load(state, S); }
template <const Shape& S>
void BM_OneRead(benchmark::State& state) { OneRead(state, S); }

BENCHMARK_TEMPLATE(BM_Store, kAligned)->Unit(benchmark::kMillisecond)->Iterations(6)->UseRealTime();
BENCHMARK_TEMPLATE(BM_OneWrite, kAligned)->Unit(benchmark::kMillisecond)->Iterations(6)->UseRealTime();
BENCHMARK_TEMPLATE(BM_Store, kOdd)->Unit(benchmark::kMillisecond)->Iterations(6)->UseRealTime();
BENCHMARK_TEMPLATE(BM_OneWrite, kOdd)->Unit(benchmark::kMillisecond)->Iterations(6)->UseRealTime();
BENCHMARK_TEMPLATE(BM_Load, kAligned)->Unit(benchmark::kMillisecond)->Iterations(6)->UseRealTime();
BENCHMARK_TEMPLATE(BM_OneRead, kAligned)->Unit(benchmark::kMillisecond)->Iterations(6)->UseRealTime();
BENCHMARK_TEMPLATE(BM_Load, kOdd)->Unit(benchmark::kMillisecond)->Iterations(6)->UseRealTime();
BENCHMARK_TEMPLATE(BM_OneRead, kOdd)->Unit(benchmark::kMillisecond)->Iterations(6)->UseRealTime();
}  // namespace
