// SPDX-License-Identifier: GPL-3.0-or-later
/* The floor of `kvt shadows` for whole-command timings: one pass that reads a secret stream and
 * writes N files of its shares' size (24 bytes of header, then frames BW times as wide and BH
 * times as high as the secret's), each pixel simply repeated over its block, and makes them all
 * durable as kvt does. No patterns, no checks, no temporary files: what the machine charges for
 * the bytes alone.
 *
 *     ShadowFloor SECRET OUT1 OUT2                 the (2, 2) shadows: 2 x 2 blocks
 *     ShadowFloor -b BWxBH SECRET OUT1 ... OUTN     N shares of BW x BH blocks
 */

#include <fcntl.h>
#include <stdint.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <unistd.h>

enum { kMaxOutputs = 64 };

static int ReadAll(int fd, unsigned char* data, size_t count)
{
    while (count > 0) {
        const ssize_t n = read(fd, data, count);
        if (n <= 0)
            return 0;
        data += n;
        count -= (size_t)n;
    }
    return 1;
}

static int WriteAll(int fd, const unsigned char* data, size_t count)
{
    while (count > 0) {
        const ssize_t n = write(fd, data, count);
        if (n <= 0)
            return 0;
        data += n;
        count -= (size_t)n;
    }
    return 1;
}

static void Put32(unsigned char* at, uint32_t value)
{
    for (int i = 0; i < 4; ++i)
        at[i] = (unsigned char)(value >> (8 * i));
}

static int Fail(void)
{
    perror("ShadowFloor");
    return 1;
}

int main(int argc, char** argv)
{
    unsigned bw = 2, bh = 2;
    int first = 1;
    if (argc > 2 && strcmp(argv[1], "-b") == 0) {
        if (sscanf(argv[2], "%ux%u", &bw, &bh) != 2 || bw == 0 || bh == 0)
            argc = 0;
        first = 3;
    }
    const int outputs = argc - first - 1;
    if (outputs < 1 || outputs > kMaxOutputs) {
        fprintf(stderr, "usage: ShadowFloor [-b BWxBH] SECRET OUT1 [OUT2 ...]\n");
        return 2;
    }
    const int in = open(argv[first], O_RDONLY);
    int out[kMaxOutputs];
    for (int i = 0; i < outputs; ++i)
        if ((out[i] = open(argv[first + 1 + i], O_WRONLY | O_CREAT | O_TRUNC, 0644)) < 0)
            return Fail();
    unsigned char header[24];
    if (in < 0 || !ReadAll(in, header, sizeof header))
        return Fail();
    uint32_t width = 0, height = 0;
    memcpy(&width, header + 10, 4);
    memcpy(&height, header + 14, 4);
    const unsigned frames = (unsigned)header[18] | (unsigned)header[19] << 8;
    const size_t secretBytes = (size_t)width * height;
    const size_t shareWidth = bw * (size_t)width;
    const size_t shareBytes = shareWidth * bh * height;
    Put32(header + 6, (uint32_t)shareBytes);
    Put32(header + 10, (uint32_t)shareWidth);
    Put32(header + 14, bh * height);

    unsigned char* secret = malloc(secretBytes);
    unsigned char* share = malloc(shareBytes);
    if (secret == NULL || share == NULL)
        return Fail();
    for (int i = 0; i < outputs; ++i)
        if (!WriteAll(out[i], header, sizeof header))
            return Fail();
    for (unsigned k = 0; k < frames; ++k) {
        if (!ReadAll(in, secret, secretBytes))
            return Fail();
        for (size_t y = 0; y < height; ++y) {
            unsigned char* top = share + bh * y * shareWidth;
            for (size_t x = 0; x < width; ++x)
                memset(top + bw * x, secret[y * width + x], bw);
            for (unsigned r = 1; r < bh; ++r)
                memcpy(top + r * shareWidth, top, shareWidth);
        }
        for (int i = 0; i < outputs; ++i)
            if (!WriteAll(out[i], share, shareBytes))
                return Fail();
    }
    for (int i = 0; i < outputs; ++i)
        if (fsync(out[i]) != 0 || close(out[i]) != 0)
            return Fail();
    free(secret);
    free(share);
    close(in);
    return 0;
}
