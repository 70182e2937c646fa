// SPDX-License-Identifier: GPL-3.0-or-later
// The floor of `kvt shadows` for whole-command timings: reads a secret stream and writes N files of
// its shares' size (24 bytes of header, then frames BW times as wide and BH times as high as the
// secret's) as kvt writes them: a band of rows of every share in turn, about 8 MB of bands in all,
// each file pushed out behind the writing (CWriteBehind) and synced at the end. The band is filled
// once, so nothing is charged but the reading and the writing.
//
//     ShadowFloor SECRET OUT1 OUT2                 the (2, 2) shadows: 2 x 2 blocks
//     ShadowFloor -b BWxBH SECRET OUT1 ... OUTN     N shares of BW x BH blocks

#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <vector>

#include "io/WriteBehind.h"

namespace {
constexpr std::size_t kBandBytes = std::size_t{8} << 20;  // as kvt's shares

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

bool WriteAll(int fd, const unsigned char* data, std::size_t count)
{
    while (count > 0) {
        const ssize_t n = write(fd, data, count);
        if (n <= 0)
            return false;
        data += n;
        count -= static_cast<std::size_t>(n);
    }
    return true;
}

void Put32(unsigned char* at, std::uint32_t value)
{
    for (int i = 0; i < 4; ++i)
        at[i] = static_cast<unsigned char>(value >> (8 * i));
}

int Fail()
{
    std::perror("ShadowFloor");
    return 1;
}

struct Output {
    int fd;
    CWriteBehind behind;
    std::uint64_t written;
};
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
        return Fail();
    std::uint32_t width = 0, height = 0;
    std::memcpy(&width, header + 10, 4);
    std::memcpy(&height, header + 14, 4);
    const unsigned frames = unsigned{header[18]} | unsigned{header[19]} << 8;
    const std::size_t shareWidth = std::size_t{bw} * width;
    Put32(header + 6, static_cast<std::uint32_t>(shareWidth * bh * height));
    Put32(header + 10, static_cast<std::uint32_t>(shareWidth));
    Put32(header + 14, bh * height);

    std::vector<Output> out;
    for (int i = 0; i < outputs; ++i) {
        const int fd = open(argv[first + 1 + i], O_WRONLY | O_CREAT | O_TRUNC, 0644);
        if (fd < 0 || !WriteAll(fd, header, sizeof header))
            return Fail();
        out.push_back(Output{fd, CWriteBehind(fd), sizeof header});
    }
    const std::size_t blockRowBytes = shareWidth * bh;
    const std::size_t bandRows =
        std::clamp<std::size_t>(kBandBytes / std::max<std::size_t>(1, outputs * blockRowBytes), 1, std::max(1u, height));
    std::vector<unsigned char> secret(std::size_t{width} * height);
    std::vector<unsigned char> band(bandRows * blockRowBytes, 255);
    for (unsigned k = 0; k < frames; ++k) {
        if (!ReadAll(in, secret.data(), secret.size()))
            return Fail();
        for (std::size_t y = 0; y < height; y += bandRows) {
            const std::size_t bytes = std::min<std::size_t>(bandRows, height - y) * blockRowBytes;
            for (Output& o : out) {
                if (!WriteAll(o.fd, band.data(), bytes))
                    return Fail();
                o.written += bytes;
                o.behind.Advance(o.written);
            }
        }
    }
    for (const Output& o : out)
        if (fsync(o.fd) != 0 || close(o.fd) != 0)
            return Fail();
    close(in);
    return 0;
}
