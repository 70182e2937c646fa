// SPDX-License-Identifier: GPL-3.0-or-later
#include "shares/ShareStreams.h"

#include <climits>
#include <string>

#include "io/Message.h"
#include "vss/VssMessages.h"

bool InitializeShareHeader(const KvtHeader& secret, int blockWidth, int blockHeight, KvtHeader& shareHeader)
{
    using namespace vss_messages;
    const long long width = secret.width, height = secret.height;
    // Rows are padded to whole words, so a width must leave room for its padding.
    if (width < 0 || height < 0 || width * blockWidth > INT_MAX - 3 || height * blockHeight > INT_MAX) {
        ShowMessage(kShadowsNoMemory1, "shares of " + std::to_string(width * blockWidth) + " x " +
                                           std::to_string(height * blockHeight) + " pixels can't be stored");
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
