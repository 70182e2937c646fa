// SPDX-License-Identifier: GPL-3.0-or-later
#include "framework/ProgressDlg.h"

#include <QCoreApplication>
#include <QProgressDialog>
#include <limits>

namespace {
constexpr int kShowAfterMs = 500;
constexpr int kRedrawEveryMs = 40;
}  // namespace

CProgressDlg::CProgressDlg(QWidget* pParent, const QString& label)
    : m_pDialog(std::make_unique<QProgressDialog>(label, QString(), 0, 0, pParent))
{
    m_pDialog->setMinimumDuration(kShowAfterMs);
    m_pDialog->setAutoReset(false);
    m_previousHook = SetProgressHook([this](std::uint64_t done, std::uint64_t total) { OnProgress(done, total); });
}

CProgressDlg::~CProgressDlg()
{
    SetProgressHook(std::move(m_previousHook));
}

void CProgressDlg::OnProgress(std::uint64_t done, std::uint64_t total)
{
    // The bar counts in int: scale a total beyond it down.
    const std::uint64_t scale = total / std::numeric_limits<int>::max() + 1;
    const int maximum = static_cast<int>(total / scale);
    if (m_pDialog->maximum() != maximum)
        m_pDialog->setMaximum(maximum);
    m_pDialog->setValue(static_cast<int>(done / scale));
    // Painting and timers only, a few times a second: clicks and keys wait for the work's end.
    // (A modal progress dialog would deliver them from inside setValue.)
    if (!m_sinceRedraw.isValid() || m_sinceRedraw.elapsed() >= kRedrawEveryMs) {
        QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
        m_sinceRedraw.start();
    }
}
