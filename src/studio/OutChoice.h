// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// What an export or a print writes of the shares on show: every share, the checked ones, or the
// checked ones laid together as the reveal lays them (a teacher's one picture of what k shares show).

#include <QImage>
#include <vector>

#include "studio/OutJob.h"

class CShareSet;

enum class OutChoice { all, checked, stack };

// The outputs of `choice`; empty when it has none (no share checked, or fewer than two to stack).
std::vector<OutItem> ChooseOutItems(const CShareSet& shares, OutChoice choice);

// The frame on show of output `page` of `choice`, as it will be written.
QImage OutItemFrame(const CShareSet& shares, OutChoice choice, int page);
