// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// What kvt measure prints: a table for people, one JSON object for programs, and a CSV row per
// frame. Every figure has one label and one key, shared by the three.

#include <cstdint>
#include <string>
#include <vector>

#include "measure/ShareMeasurement.h"

// The run a report describes.
struct MeasuredFiles {
    std::string secret;
    int secretWidth = 0;
    int secretHeight = 0;
    std::vector<std::string> shares;
    int shareWidth = 0;
    int shareHeight = 0;
    BlockShape block;
    std::uint64_t greyPixels = 0;  // secret pixels neither 0 nor 255, measured as white
};

struct MeasureResults {
    FrameFigures stream;
    std::vector<FrameFigures> frames;
    const CShareMeasurement* measurement = nullptr;  // its leak tests, threshold and m
    bool temporal = false;
};

std::string TextReport(const MeasuredFiles& files, const MeasureResults& results);
std::string JsonReport(const MeasuredFiles& files, const MeasureResults& results);

// The CSV file's first line, and the line of frame `index` (from 0); empty cells where a figure
// has no value.
std::string CsvHeader(bool temporal);
std::string CsvRow(std::size_t index, const FrameFigures& figures, bool temporal);
