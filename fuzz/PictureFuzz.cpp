// SPDX-License-Identifier: GPL-3.0-or-later
// Any bytes as a picture kvt import reads through Qt's readers, named with one of their endings.

#include "ImportFuzz.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    static constexpr std::array<const char*, 10> kEndings{"png", "jpg", "gif", "bmp", "tif",
                                                          "webp", "pgm", "ppm", "xpm", "ico"};
    return import_fuzz::Run(data, size, kEndings);
}
