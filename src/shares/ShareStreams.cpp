// SPDX-License-Identifier: GPL-3.0-or-later
#include "shares/ShareStreams.h"

#include <string>

#include "io/Message.h"
#include "stream/KvtFormat.h"
#include "stream/StreamFiles.h"
#include "vss/VssMessages.h"

bool InitializeShareHeader(const KvtHeader& secret, int blockWidth, int blockHeight, KvtHeader& shareHeader)
{
    using namespace vss_messages;
    const long long width = secret.width, height = secret.height;
    // Shares that could not be opened again are refused before any memory is asked for them.
    if (const std::string limit = StreamShapeLimit(width * blockWidth, height * blockHeight, secret.frameCount);
        width < 0 || height < 0 || !limit.empty()) {
        ShowMessage("Create VSS shadows error: the shares would be " +
                    (limit.empty() ? "of a negative size" : limit));
        return false;
    }
    shareHeader = KvtHeader::Built(static_cast<int>(width * blockWidth), static_cast<int>(height * blockHeight),
                                   secret.frameCount);
    if (secret.frameCount == 0) {
        ShowMessage(kShadowsNoImages);
        return false;
    }
    return true;
}

bool CShareSets::Allocate(std::size_t shares, std::size_t bytes, int first)
{
    using namespace vss_messages;
    m_nShares = shares;
    for (std::size_t i = 0; i < 2 * shares; ++i) {
        FrameBuffer share = AllocateFrame(bytes, first + static_cast<int>(i % shares) == 1 ? kShadowsNoMemory1 : kShadowsNoMemory2);
        if (!share)
            return false;
        m_pointers.push_back(share.get());
        m_buffers.push_back(std::move(share));
    }
    return true;
}

BYTE* const* CShareSets::Next()
{
    m_nSet ^= 1;
    return m_pointers.data() + m_nSet * m_nShares;
}
