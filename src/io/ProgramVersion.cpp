// SPDX-License-Identifier: GPL-3.0-or-later
#include "io/ProgramVersion.h"

std::string VersionText(std::string_view program)
{
    return std::string(program) + " (KVTPlayer) " KVT_VERSION "\n"
           "Copyright (C) 2026 Image Cryptography Laboratory\n"
           "License GPLv3+: GNU GPL version 3 or later <https://gnu.org/licenses/gpl.html>.\n"
           "This is free software: you are free to change and redistribute it.\n"
           "There is NO WARRANTY, to the extent permitted by law.\n";
}
