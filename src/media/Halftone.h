// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Halftoning: grey frames made black and white, since only black (0) stays black when a secret is
// split into shadows and stacked again. Every halftoner works in place on a QImage::Format_Grayscale8
// frame and leaves only 0 and 255 in it.

#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

class QImage;

enum class DitherMethod { threshold, floydSteinberg, ordered, blueNoise, none };

// The methods' names on the command line: threshold, floyd-steinberg, ordered, blue-noise, none.
const std::vector<std::string>& DitherMethodNames();
std::optional<DitherMethod> ParseDitherMethod(std::string_view name);
std::string_view DitherMethodName(DitherMethod method);

class CHalftoner {
public:
    virtual ~CHalftoner() = default;
    virtual void Apply(QImage& frame) = 0;
};

inline constexpr int kDefaultThreshold = 128;

// The halftoner of `method`; nullptr for DitherMethod::none, which keeps the greys. `threshold`
// (1 to 255) serves DitherMethod::threshold only: a grey below it becomes 0, anything else 255.
std::unique_ptr<CHalftoner> MakeHalftoner(DitherMethod method, int threshold = kDefaultThreshold);
