// SPDX-License-Identifier: GPL-3.0-or-later
// The floor of `kvt shadows` for whole-command timings: reads a secret stream and writes N files of
// its shares' size (frames BW times as wide and BH times as high as the secret's) as kvt writes
// them: through the same stream writer (the safe writer's unnamed file, room held first, pushed out
// behind the writing, synced and put in place together), a band of rows of every share in turn,
// about 8 MB of bands in all (its fastest size). The band is filled once, so nothing is charged
// but the reading and the writing.
//
//     ShadowFloor SECRET OUT1 OUT2                 the (2, 2) shadows: 2 x 2 blocks
//     ShadowFloor -b BWxBH SECRET OUT1 ... OUTN     N shares of BW x BH blocks

#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "io/FileSet.h"
#include "stream/StreamFileWriter.h"

namespace {
constexpr std::size_t kBandBytes = std::size_t{8} << 20;

bool ReadAll(int fd, unsigned char* data, std::size_t count)
{
    while (count > 0) {
        const ssize_t n = read(fd, data, count);
        if (n <= 0)
            return false;
        data += n;
        count -= static_cast<std::size_t>(n);
    }
    return true;
}

int Fail(const std::string& why)
{
    std::fprintf(stderr, "ShadowFloor: %s\n", why.c_str());
    return 1;
}
}  // namespace

int main(int argc, char** argv)
{
    unsigned bw = 2, bh = 2;
    int first = 1;
    if (argc > 2 && std::strcmp(argv[1], "-b") == 0) {
        if (std::sscanf(argv[2], "%ux%u", &bw, &bh) != 2 || bw == 0 || bh == 0)
            argc = 0;
        first = 3;
    }
    const int outputs = argc - first - 1;
    if (outputs < 1) {
        std::fprintf(stderr, "usage: ShadowFloor [-b BWxBH] SECRET OUT1 [OUT2 ...]\n");
        return 2;
    }
    const int in = open(argv[first], O_RDONLY);
    unsigned char header[24];
    if (in < 0 || !ReadAll(in, header, sizeof header))
        return Fail("can't read the secret");
    std::uint32_t width = 0, height = 0;
    std::memcpy(&width, header + 10, 4);
    std::memcpy(&height, header + 14, 4);
    const unsigned frames = unsigned{header[18]} | unsigned{header[19]} << 8;
    const std::size_t shareWidth = std::size_t{bw} * width;

    const KvtHeader shape = KvtHeader::Built(static_cast<int>(shareWidth), static_cast<int>(bh * height),
                                             static_cast<std::uint16_t>(frames));
    // The shares as kvt puts them in place: a set of files, all or none.
    CFileSet set(std::filesystem::path(argv[first + 1]).parent_path());
    if (!set.Open())
        return Fail(set.GetError());
    std::vector<std::unique_ptr<CStreamFileWriter>> out;
    std::vector<CStreamFileWriter*> writers;
    for (int i = 0; i < outputs; ++i) {
        out.push_back(std::make_unique<CStreamFileWriter>());
        writers.push_back(out.back().get());
        out.back()->WriteAt(set.Add(std::filesystem::path(argv[first + 1 + i]).filename().string()));
        if (!out.back()->Open(argv[first + 1 + i], shape))
            return Fail(out.back()->GetError());
    }
    const std::size_t blockRowBytes = static_cast<std::size_t>(shape.RowStride()) * bh;
    const std::size_t bandRows =
        std::clamp<std::size_t>(kBandBytes / std::max<std::size_t>(1, outputs * blockRowBytes), 1, std::max(1u, height));
    std::vector<unsigned char> secret(std::size_t{width} * height);
    std::vector<unsigned char> band(bandRows * blockRowBytes, 255);
    for (unsigned k = 0; k < frames; ++k) {
        if (!ReadAll(in, secret.data(), secret.size()))
            return Fail("the secret is short");
        for (std::size_t y = 0; y < height; y += bandRows)
            for (CStreamFileWriter* writer : writers)
                if (!writer->WriteRows(band.data(), std::min<std::size_t>(bandRows, height - y) * bh))
                    return Fail(writer->GetError());
    }
    for (CStreamFileWriter* writer : writers)
        if (!writer->Commit())
            return Fail(writer->GetError());
    if (!set.Commit())
        return Fail(set.GetError());
    close(in);
    return 0;
}
