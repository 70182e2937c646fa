// SPDX-License-Identifier: GPL-3.0-or-later
#include "media/FrameFit.h"

#include <algorithm>
#include <cstdint>
#include <cstring>

#include "stream/KvtFormat.h"

std::optional<FitMode> ParseFitMode(std::string_view name)
{
    if (name == "contain")
        return FitMode::contain;
    if (name == "cover")
        return FitMode::cover;
    if (name == "stretch")
        return FitMode::stretch;
    return std::nullopt;
}

namespace {
// round(length * numerator / denominator), at least 1 and at most `limit`.
int ScaledLength(long long length, long long numerator, long long denominator, int limit)
{
    const long long scaled = (2 * length * numerator + denominator) / (2 * denominator);
    return static_cast<int>(std::clamp<long long>(scaled, 1, limit));
}

// White everywhere in `frame` outside `picture`.
void FillAround(const QRect& picture, QImage& frame)
{
    for (int y = 0; y < frame.height(); ++y) {
        uchar* row = frame.scanLine(y);
        if (y < picture.top() || y > picture.bottom()) {
            std::memset(row, 255, static_cast<std::size_t>(frame.width()));
            continue;
        }
        std::memset(row, 255, static_cast<std::size_t>(picture.left()));
        std::memset(row + picture.right() + 1, 255, static_cast<std::size_t>(frame.width() - picture.right() - 1));
    }
}

QRect Centred(QSize inner, QSize outer)
{
    return QRect(QPoint((outer.width() - inner.width()) / 2, (outer.height() - inner.height()) / 2), inner);
}
}  // namespace

FramePlacement PlaceFrame(QSize source, QSize target, FitMode mode)
{
    const long long sw = source.width(), sh = source.height();
    const long long tw = target.width(), th = target.height();
    const bool targetWider = tw * sh > th * sw;
    switch (mode) {
    case FitMode::contain: {
        const QSize drawn = targetWider ? QSize(ScaledLength(sw, th, sh, target.width()), target.height())
                                        : QSize(target.width(), ScaledLength(sh, tw, sw, target.height()));
        return {QRect(QPoint(0, 0), source), Centred(drawn, target)};
    }
    case FitMode::cover: {
        const QSize kept = targetWider ? QSize(source.width(), ScaledLength(sw, th, tw, source.height()))
                                       : QSize(ScaledLength(sh, tw, th, source.width()), source.height());
        return {Centred(kept, source), QRect(QPoint(0, 0), target)};
    }
    case FitMode::stretch:
        break;
    }
    return {QRect(QPoint(0, 0), source), QRect(QPoint(0, 0), target)};
}

std::optional<std::string> RefuseFrameSize(QSize size)
{
    const long long width = size.width(), height = size.height();
    if (width < 1 || height < 1 || width > kvt::kMaxSide || height > kvt::kMaxSide)
        return "a frame is 1 to " + std::to_string(kvt::kMaxSide) + " pixels wide and high, not " +
               std::to_string(width) + "x" + std::to_string(height);
    if (width * height > UINT32_MAX)
        return "a frame holds at most " + std::to_string(UINT32_MAX) + " pixels, not " + std::to_string(width) +
               "x" + std::to_string(height);
    return std::nullopt;
}

CFrameFitter::CFrameFitter(QSize target, FitMode mode) : m_target(target), m_mode(mode) {}

bool CFrameFitter::Fit(const QImage& grey, QImage& frame)
{
    // A reader may give a picture of no pixels (a damaged MNG does): there is nothing to scale.
    if (grey.width() < 1 || grey.height() < 1)
        return false;
    if (frame.size() != m_target || frame.format() != QImage::Format_Grayscale8)
        frame = QImage(m_target, QImage::Format_Grayscale8);
    const FramePlacement place = PlaceFrame(grey.size(), m_target, m_mode);
    if (!Draw(grey, place, frame))
        return false;
    FillAround(place.target, frame);
    return true;
}

bool CFrameFitter::Draw(const QImage& grey, const FramePlacement& place, QImage& frame)
{
    const uchar* from = grey.constScanLine(place.source.top()) + place.source.left();
    uchar* to = frame.scanLine(place.target.top()) + place.target.left();
    if (place.source.size() == place.target.size()) {
        for (int y = 0; y < place.target.height(); ++y)
            std::memcpy(to + y * frame.bytesPerLine(), from + y * grey.bytesPerLine(), place.target.width());
        return true;
    }
    m_scaler.reset(sws_getCachedContext(m_scaler.release(), place.source.width(), place.source.height(),
                                        AV_PIX_FMT_GRAY8, place.target.width(), place.target.height(),
                                        AV_PIX_FMT_GRAY8, SWS_BICUBIC | SWS_ACCURATE_RND, nullptr, nullptr, nullptr));
    if (!m_scaler)
        return false;
    const int fromStride = static_cast<int>(grey.bytesPerLine());
    ffmpeg::ScaleRows(m_scaler.get(), &from, &fromStride, place.source.height(), to, frame.bytesPerLine(),
                      place.target.width(), place.target.height(), m_scaled);
    return true;
}
