// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Tone before halftoning. Shadows stacked show white as half black, so a dark picture sinks into
// the black of a reveal; levels stretch a picture's greys over the whole range and gamma lifts (or
// deepens) its middle greys first. Levels map the input grey BLACK and below to 0 and WHITE and above
// to 255, linearly between; gamma G then maps t in 0..1 to t^(1/G): 0 and 255 always stay put.

#include <array>
#include <cstdint>
#include <optional>
#include <string_view>

class QImage;

struct GreyLevels {
    int black = 0;
    int white = 255;
    bool operator==(const GreyLevels&) const = default;
};

// "BLACK:WHITE" with 0 <= BLACK < WHITE <= 255.
std::optional<GreyLevels> ParseGreyLevels(std::string_view text);

// The 1st and 99th percentiles of a Format_Grayscale8 frame's greys. A frame with (almost) one grey
// has nothing to stretch and gives the full range.
GreyLevels PercentileLevels(const QImage& grey);

class CToneMap {
public:
    // levels.black < levels.white, gamma > 0.
    CToneMap(GreyLevels levels, double gamma);

    std::uint8_t Map(std::uint8_t grey) const { return m_table[grey]; }
    // A Format_Grayscale8 frame, in place.
    void Apply(QImage& frame) const;

private:
    std::array<std::uint8_t, 256> m_table{};
};

// Whether levels are measured from the frames: never, once from the first frame (the whole clip
// keeps one tone, so nothing flickers), or from each frame anew.
enum class AutoLevels { off, first, each };

// The tone of an import, frame by frame: fixed levels, or levels measured as AutoLevels says.
class CToneStage {
public:
    CToneStage(GreyLevels levels, double gamma, AutoLevels autoLevels);

    // Takes the next source frame, before any scaling (white bars would count), and measures it
    // when asked to.
    void Measure(const QImage& source);
    // The tone of the frame last measured onto `frame`, which is that frame scaled.
    void Apply(QImage& frame) const;

private:
    double m_gamma;
    AutoLevels m_autoLevels;
    bool m_bMeasured = false;
    bool m_bIdentity;  // full levels, gamma 1, nothing measured: Apply can skip the frame
    CToneMap m_map;
};
