// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// A PDF of the frames printed at physical scale, written beside its name and put in place at Finish
// only when every byte of it was written.

#include <filesystem>
#include <memory>

#include "media/DescriptorDevice.h"
#include "media/FrameSink.h"
#include "media/PdfPrinter.h"
#include "io/AtomicFile.h"

class CPdfFileSink : public CFrameSink {
public:
    // Written at `target`; messages name `shownAs` (the file the user asked for, when `target` is
    // a staged copy of it), by default `target`.
    explicit CPdfFileSink(std::filesystem::path target, std::filesystem::path shownAs = {});

    bool Open(const CPrintLayout& layout, double pixelMm, bool marks, PrintCaption caption);
    bool Write(const QImage& grey, int index) override;
    bool Finish() override;
    std::uint64_t GetBytesWritten() const override;

private:
    // A failed write, Qt's or ours, said with its reason; the old PDF stays.
    bool WriteFailed();

    std::filesystem::path m_target;
    CAtomicFile m_file;
    std::unique_ptr<CDescriptorDevice> m_device;
    std::unique_ptr<CPdfPrinter> m_printer;  // last, so gone first: it may still end its document
};
