// SPDX-License-Identifier: GPL-3.0-or-later
#include "studio/StackFigures.h"

#include "measure/ShareMeasurement.h"

std::optional<StackFigures> MeasureStack(const QImage& secret, const std::vector<const QImage*>& shares)
{
    if (shares.empty())
        return std::nullopt;
    const QImage& first = *shares.front();
    const auto block = DeriveBlockShape(secret.width(), secret.height(), first.width(), first.height());
    if (!block)
        return std::nullopt;
    std::vector<const BYTE*> frames;
    for (const QImage* share : shares) {
        if (share->size() != first.size())
            return std::nullopt;
        frames.push_back(share->constBits());
    }
    const int count = static_cast<int>(shares.size());
    CShareMeasurement measurement(secret.width(), secret.height(), *block, count, count);
    const FrameFigures figures = measurement.MeasureFrame(secret.constBits(), static_cast<std::size_t>(secret.bytesPerLine()),
                                                          frames, static_cast<std::size_t>(first.bytesPerLine()));
    StackFigures result{figures.contrast, figures.ssim, std::nullopt, false};
    // The stack's own test: what a viewer of these shares stacked sees (a share alone, as it is).
    const LeakView view = count == 1 ? LeakView::Alone : LeakView::Stacked;
    for (const SharesLeakTest& test : measurement.GetLeakTests()) {
        if (test.view != view || static_cast<int>(test.shares.size()) != count)
            continue;
        if (const auto outcome = test.test.Test()) {
            result.leakPValue = outcome->pValue;
            result.leaks = measurement.Leaks(test);
        }
        break;
    }
    return result;
}

std::vector<std::vector<int>> SharesOf(int count, int size)
{
    std::vector<std::vector<int>> sets;
    if (size <= 0 || size > count)
        return sets;
    std::vector<int> set(static_cast<std::size_t>(size));
    for (int i = 0; i < size; ++i)
        set[static_cast<std::size_t>(i)] = i;
    for (;;) {
        sets.push_back(set);
        int i = size - 1;
        while (i >= 0 && set[static_cast<std::size_t>(i)] == count - size + i)
            --i;
        if (i < 0)
            return sets;
        ++set[static_cast<std::size_t>(i)];
        for (int j = i + 1; j < size; ++j)
            set[static_cast<std::size_t>(j)] = set[static_cast<std::size_t>(j - 1)] + 1;
    }
}
