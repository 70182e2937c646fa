// SPDX-License-Identifier: GPL-3.0-or-later
// kvt-media: the media commands of kvt (import, export, print), which kvt hands over whole.

#include "cli/Commands.h"

int main(int argc, char** argv)
{
    return RunCommands(argc, argv, AddMediaCommands);
}
