#pragma once
// The two shadows that kvt interlace and kvt reveal put together.

#include <memory>
#include <optional>
#include <string>
#include <utility>

#include "stream/ImageStream.h"

using StreamPair = std::pair<std::unique_ptr<CImageStream>, std::unique_ptr<CImageStream>>;

// Both streams loaded; nothing after the message of the first refused.
std::optional<StreamPair> OpenShadowPair(const std::string& shadow1, const std::string& shadow2);
