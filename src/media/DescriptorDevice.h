// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// A Qt device writing to a descriptor the caller keeps (the safe writer's file), which remembers
// why the first write failed: a full disk or the file-size limit is then named as such, where
// Qt's file device would only say "Unknown error".

#include <QIODevice>
#include <cstdint>
#include <string>

class CDescriptorDevice : public QIODevice {
public:
    // Opens for writing at once; `fd` stays open after the device is gone.
    explicit CDescriptorDevice(int fd);

    bool isSequential() const override { return false; }
    bool seek(qint64 pos) override;
    qint64 size() const override;

    std::uint64_t GetBytesWritten() const { return m_nBytesWritten; }
    bool HasFailed() const { return m_nErrno != 0; }
    // The reason of the first failure, empty while none.
    std::string GetError() const;

protected:
    qint64 readData(char*, qint64) override { return -1; }
    qint64 writeData(const char* data, qint64 count) override;

private:
    int m_fd;
    int m_nErrno = 0;
    std::uint64_t m_nBytesWritten = 0;
};
