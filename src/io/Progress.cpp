// SPDX-License-Identifier: GPL-3.0-or-later
#include "io/Progress.h"

#include <utility>

namespace {
ProgressHook& Hook()
{
    static ProgressHook hook;
    return hook;
}
}  // namespace

void ReportProgress(std::uint64_t done, std::uint64_t total)
{
    if (const ProgressHook& hook = Hook())
        hook(done, total);
}

ProgressHook SetProgressHook(ProgressHook hook)
{
    return std::exchange(Hook(), std::move(hook));
}
