// SPDX-License-Identifier: GPL-3.0-or-later
#include "media/LibraryMessages.h"

#include <QString>
#include <QtGlobal>
#include <cstdarg>
#include <mutex>
#include <set>
#include <vector>

#include "io/Message.h"
#include "media/Ffmpeg.h"

namespace {
struct CaughtLines {
    std::mutex mutex;  // FFmpeg logs from its decoding threads too
    std::string command;
    std::set<std::string> said;
    std::vector<std::string> ignored;
};
CaughtLines g_lines;
QtMessageHandler g_previousQtHandler = nullptr;

std::string_view Trimmed(std::string_view text)
{
    while (!text.empty() && (text.back() == '\n' || text.back() == ' '))
        text.remove_suffix(1);
    return text;
}

void Say(std::string_view library, std::string_view text)
{
    text = Trimmed(text);
    const std::lock_guard lock(g_lines.mutex);
    for (const std::string& ignored : g_lines.ignored)
        if (text.find(ignored) != std::string_view::npos)
            return;
    std::string line = g_lines.command + ": warning from " + std::string(library) + ": " + std::string(text);
    if (!text.empty() && g_lines.said.insert(line).second)
        ShowMessage(line);
}

void CatchQt(QtMsgType type, const QMessageLogContext&, const QString& message)
{
    if (type == QtDebugMsg || type == QtInfoMsg)
        return;
    const std::string text = message.toStdString();
    // libpng's lines come through Qt with their own prefix.
    for (const std::string_view prefix : {"libpng warning: ", "libpng error: "}) {
        if (text.rfind(prefix, 0) == 0) {
            Say("libpng", std::string_view(text).substr(prefix.size()));
            return;
        }
    }
    Say("Qt", text);
}

void CatchFfmpeg(void* object, int level, const char* format, va_list arguments)
{
    if (level > AV_LOG_ERROR)
        return;
    char text[1024];
    int printPrefix = 0;  // our own words replace "[gif @ 0x...]"
    av_log_format_line2(object, level, format, arguments, text, sizeof text, &printPrefix);
    const AVClass* const* kind = static_cast<const AVClass* const*>(object);
    const std::string library =
        kind != nullptr && *kind != nullptr ? std::string("FFmpeg's ") + (*kind)->item_name(object) : "FFmpeg";
    Say(library, text);
}
}  // namespace

CLibraryMessages::CLibraryMessages(std::string command)
{
    {
        const std::lock_guard lock(g_lines.mutex);
        g_lines.command = std::move(command);
        g_lines.said.clear();
        g_lines.ignored.clear();
    }
    g_previousQtHandler = qInstallMessageHandler(CatchQt);
    av_log_set_callback(CatchFfmpeg);
}

CLibraryMessages::~CLibraryMessages()
{
    av_log_set_callback(av_log_default_callback);
    qInstallMessageHandler(g_previousQtHandler);
}

void CLibraryMessages::Ignore(std::string text)
{
    const std::lock_guard lock(g_lines.mutex);
    g_lines.ignored.push_back(std::move(text));
}
