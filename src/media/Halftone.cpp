// SPDX-License-Identifier: GPL-3.0-or-later
#include "media/Halftone.h"

#include <QImage>
#include <algorithm>
#include <utility>
#include <vector>

#include "media/DitherMask.h"

namespace {
// In the order of DitherMethod.
const std::vector<std::string> kMethodNames = {"threshold", "floyd-steinberg", "ordered", "blue-noise", "none"};
}  // namespace

const std::vector<std::string>& DitherMethodNames()
{
    return kMethodNames;
}

std::optional<DitherMethod> ParseDitherMethod(std::string_view name)
{
    for (std::size_t i = 0; i < kMethodNames.size(); ++i) {
        if (kMethodNames[i] == name)
            return static_cast<DitherMethod>(i);
    }
    return std::nullopt;
}

std::string_view DitherMethodName(DitherMethod method)
{
    return kMethodNames[static_cast<std::size_t>(method)];
}

namespace {
class CThresholdHalftoner : public CHalftoner {
public:
    explicit CThresholdHalftoner(int threshold) : m_threshold(threshold) {}

    void Apply(QImage& frame) override
    {
        // Locals, so the compiler knows the row can't change them and vectorises the loop.
        const int width = frame.width();
        const int threshold = m_threshold;
        for (int y = 0; y < frame.height(); ++y) {
            uchar* row = frame.scanLine(y);
            for (int x = 0; x < width; ++x)
                row[x] = row[x] < threshold ? 0 : 255;
        }
    }

private:
    int m_threshold;
};

// A mask tiled over the frame from its top-left corner.
class CMaskHalftoner : public CHalftoner {
public:
    explicit CMaskHalftoner(const CDitherMask& mask) : m_mask(mask) {}

    void Apply(QImage& frame) override
    {
        const int side = m_mask.GetSide();
        const int width = frame.width();
        for (int y = 0; y < frame.height(); ++y) {
            uchar* row = frame.scanLine(y);
            const std::uint8_t* thresholds = m_mask.GetThresholdRow(y & (side - 1));
            for (int x0 = 0; x0 < width; x0 += side) {
                const int run = std::min(side, width - x0);
                for (int i = 0; i < run; ++i)
                    row[x0 + i] = row[x0 + i] >= thresholds[i] ? 255 : 0;
            }
        }
    }

private:
    const CDitherMask& m_mask;
};

// Floyd-Steinberg error diffusion, serpentine: rows alternate direction so the error does not drift
// one way into diagonal streaks.
class CErrorDiffusionHalftoner : public CHalftoner {
public:
    void Apply(QImage& frame) override
    {
        const int width = frame.width();
        // Errors in sixteenths, one guard cell at each end so the edges need no tests.
        m_current.assign(static_cast<std::size_t>(width) + 2, 0);
        m_next.assign(m_current.size(), 0);
        for (int y = 0; y < frame.height(); ++y) {
            uchar* row = frame.scanLine(y);
            const bool rightward = y % 2 == 0;
            const int step = rightward ? 1 : -1;
            for (int i = 0; i < width; ++i) {
                const int x = rightward ? i : width - 1 - i;
                const int cell = x + 1;
                const int value = row[x] + ((m_current[cell] + 8) >> 4);
                const int out = value < 128 ? 0 : 255;
                row[x] = static_cast<uchar>(out);
                const int error = value - out;
                m_current[cell + step] += error * 7;
                m_next[cell - step] += error * 3;
                m_next[cell] += error * 5;
                m_next[cell + step] += error;
            }
            std::swap(m_current, m_next);
            std::fill(m_next.begin(), m_next.end(), 0);
        }
    }

private:
    std::vector<int> m_current;
    std::vector<int> m_next;
};
}  // namespace

std::unique_ptr<CHalftoner> MakeHalftoner(DitherMethod method, int threshold)
{
    switch (method) {
    case DitherMethod::threshold:
        return std::make_unique<CThresholdHalftoner>(threshold);
    case DitherMethod::floydSteinberg:
        return std::make_unique<CErrorDiffusionHalftoner>();
    case DitherMethod::ordered:
        return std::make_unique<CMaskHalftoner>(BayerMask());
    case DitherMethod::blueNoise:
        return std::make_unique<CMaskHalftoner>(BlueNoiseMask());
    case DitherMethod::none:
        break;
    }
    return nullptr;
}
