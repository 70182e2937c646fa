// SPDX-License-Identifier: GPL-3.0-or-later
#include "studio/ShareTrial.h"

#include <QTemporaryDir>

#include "stream/StreamFileWriter.h"
#include "studio/CaughtMessage.h"

std::optional<std::string> TryCoversOrKey(const QImage& secret, const ShareMaking& making,
                                          std::optional<std::uint32_t> seed)
{
    CCaughtMessage message;
    QTemporaryDir scratch;
    if (!scratch.isValid())
        return "a temporary folder for a trial of the shares: " + scratch.errorString().toStdString();
    const std::filesystem::path folder = scratch.path().toStdString();
    const std::filesystem::path path = folder / "secret.kvt";
    CStreamFileWriter writer;
    if (!writer.Open(path, secret.width(), secret.height(), 0, 1) || !writer.WriteFrame(secret.constBits()) ||
        !writer.Commit())
        return path.string() + ": " + writer.GetError();
    CShareWriting writing;
    if (writing.Prepare(ShareRequest{path, making, seed, folder, "trial"}) && writing.Write() == ShareResult::Written)
        return std::nullopt;
    return message.GetText().empty() ? std::string("the shares can't be made") : message.GetText();
}
