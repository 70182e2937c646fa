/* The floor of `kvt shadows` for whole-command timings: one pass that reads a secret stream and
 * writes two files of its shadows' size (24 bytes of header, then frames twice as wide and high),
 * each pixel simply doubled, and makes both durable as kvt does. No patterns, no checks, no
 * temporary files: what the machine charges for the bytes alone.
 *
 *     ShadowFloor SECRET OUT1 OUT2
 */

#include <fcntl.h>
#include <stdint.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <unistd.h>

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

int main(int argc, char** argv)
{
    if (argc != 4) {
        fprintf(stderr, "usage: ShadowFloor SECRET OUT1 OUT2\n");
        return 2;
    }
    const int in = open(argv[1], O_RDONLY);
    const int out1 = open(argv[2], O_WRONLY | O_CREAT | O_TRUNC, 0644);
    const int out2 = open(argv[3], O_WRONLY | O_CREAT | O_TRUNC, 0644);
    unsigned char header[24];
    if (in < 0 || out1 < 0 || out2 < 0 || !ReadAll(in, header, sizeof header)) {
        perror("ShadowFloor");
        return 1;
    }
    uint32_t width = 0, height = 0;
    memcpy(&width, header + 10, 4);
    memcpy(&height, header + 14, 4);
    const unsigned frames = (unsigned)header[18] | (unsigned)header[19] << 8;
    const size_t secretBytes = (size_t)width * height;
    const size_t shadowWidth = 2 * (size_t)width;
    const size_t shadowBytes = shadowWidth * 2 * height;
    Put32(header + 6, (uint32_t)shadowBytes);
    Put32(header + 10, (uint32_t)shadowWidth);
    Put32(header + 14, 2 * height);

    unsigned char* secret = malloc(secretBytes);
    unsigned char* shadow = malloc(shadowBytes);
    if (secret == NULL || shadow == NULL || !WriteAll(out1, header, sizeof header) ||
        !WriteAll(out2, header, sizeof header)) {
        perror("ShadowFloor");
        return 1;
    }
    for (unsigned k = 0; k < frames; ++k) {
        if (!ReadAll(in, secret, secretBytes)) {
            perror("ShadowFloor");
            return 1;
        }
        for (size_t y = 0; y < height; ++y) {
            unsigned char* top = shadow + 2 * y * shadowWidth;
            for (size_t x = 0; x < width; ++x)
                top[2 * x] = top[2 * x + 1] = secret[y * width + x];
            memcpy(top + shadowWidth, top, shadowWidth);
        }
        if (!WriteAll(out1, shadow, shadowBytes) || !WriteAll(out2, shadow, shadowBytes)) {
            perror("ShadowFloor");
            return 1;
        }
    }
    if (fsync(out1) != 0 || fsync(out2) != 0 || close(out1) != 0 || close(out2) != 0) {
        perror("ShadowFloor");
        return 1;
    }
    free(secret);
    free(shadow);
    close(in);
    return 0;
}
