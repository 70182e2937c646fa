#include <cstring>
#include <ctime>
#include <vector>

#include "framework/Message.h"
#include "stream/ImageStream.h"
#include "vss/PatternSource.h"

void CLcgPatternSource::Fill(std::uint8_t* indices, std::size_t count)
{
    for (std::size_t i = 0; i < count; ++i)
        indices[i] = static_cast<std::uint8_t>(Draw() % 6);
}

namespace {
// Shadow 1's 2 x 2 block for pattern k, as (top-left, top-right) and (bottom-left, bottom-right).
// Each block has exactly two black (0) and two white (255) subpixels.
struct Block {
    BYTE top[2];
    BYTE bottom[2];
};
constexpr Block kPatterns[6] = {
    {{0, 255}, {0, 255}},    // left column black
    {{0, 0}, {255, 255}},    // top row black
    {{255, 0}, {255, 0}},    // right column black
    {{255, 255}, {0, 0}},    // bottom row black
    {{0, 255}, {255, 0}},    // top-left and bottom-right black
    {{255, 0}, {0, 255}},    // top-right and bottom-left black
};

// One secret row y becomes shadow rows 2y and 2y + 1 of both shadows.
void WriteShadowRows(const BYTE* secret, const std::uint8_t* indices, int width, BYTE* s1Top,
                     BYTE* s1Bottom, BYTE* s2Top, BYTE* s2Bottom)
{
    for (int x = 0; x < width; ++x) {
        const Block& block = kPatterns[indices[x]];
        const BYTE flip = secret[x] == 0 ? 0xFF : 0x00;  // a black secret pixel gets the complement
        s1Top[2 * x] = block.top[0];
        s1Top[2 * x + 1] = block.top[1];
        s1Bottom[2 * x] = block.bottom[0];
        s1Bottom[2 * x + 1] = block.bottom[1];
        s2Top[2 * x] = block.top[0] ^ flip;
        s2Top[2 * x + 1] = block.top[1] ^ flip;
        s2Bottom[2 * x] = block.bottom[0] ^ flip;
        s2Bottom[2 * x + 1] = block.bottom[1] ^ flip;
    }
}
}  // namespace

bool CImageStream::CreateVSSShadows(CImageStream* pShadow1, CImageStream* pShadow2) const
{
    CLcgPatternSource source(static_cast<std::uint32_t>(std::time(nullptr)));
    return CreateVSSShadows(pShadow1, pShadow2, source);
}

bool CImageStream::CreateVSSShadows(CImageStream* pShadow1, CImageStream* pShadow2,
                                    CPatternSource& source) const
{
    if (pShadow1 == nullptr || pShadow2 == nullptr) {
        ShowMessage("Create VSS shadows error: Dest streams are NULL");
        return false;
    }
    const int w = m_nWidth;
    const int h = m_nHeight;
    pShadow1->Initialize(2 * w, 2 * h, m_wFrameCount);
    pShadow2->Initialize(2 * w, 2 * h, m_wFrameCount);
    if (!HasFrames()) {
        ShowMessage("Create VSS shadows error: This stream has no images");
        return false;
    }

    const std::size_t stride = static_cast<std::size_t>(GetRowStride());
    const std::size_t shadowStride = static_cast<std::size_t>(pShadow1->GetRowStride());
    std::vector<std::uint8_t> indices(static_cast<std::size_t>(w));
    for (const FrameBuffer& secret : m_frames) {
        FrameBuffer frame1 = AllocateFrameBuffer(pShadow1->GetFrameBytes());
        if (!frame1) {
            ShowMessage("Create VSS shadows error:  Not memory avaliable for shadow1 images");
            return false;
        }
        FrameBuffer frame2 = AllocateFrameBuffer(pShadow2->GetFrameBytes());
        if (!frame2) {
            ShowMessage("Create VSS shadows error:  Not memory avaliable for shadow2 images");
            return false;
        }
        for (int y = 0; y < h; ++y) {
            source.Fill(indices.data(), indices.size());
            const std::size_t top = 2 * static_cast<std::size_t>(y) * shadowStride;
            WriteShadowRows(secret.get() + y * stride, indices.data(), w, frame1.get() + top,
                            frame1.get() + top + shadowStride, frame2.get() + top,
                            frame2.get() + top + shadowStride);
        }
        pShadow1->AppendFrame(std::move(frame1));
        pShadow2->AppendFrame(std::move(frame2));
    }
    return true;
}
