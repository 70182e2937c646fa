// SPDX-License-Identifier: GPL-3.0-or-later
#include "shares/ShareStreams.h"

#include <string>

#include "io/Message.h"
#include "stream/KvtFormat.h"
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
