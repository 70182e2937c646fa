// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// A progress dialog for a command that works on streams: while it lives, the frames the stream
// operations report move its bar. It appears only when the work will take more than about half a
// second, and has no cancel button: the command runs to its end as it always has. It is not modal
// and user input waits until the work is done, so nothing can close a document whose frames are
// being read.

#include <QElapsedTimer>
#include <QString>
#include <memory>

#include "io/Progress.h"

class QProgressDialog;
class QWidget;

class CProgressDlg {
public:
    CProgressDlg(QWidget* pParent, const QString& label);
    ~CProgressDlg();
    CProgressDlg(const CProgressDlg&) = delete;
    CProgressDlg& operator=(const CProgressDlg&) = delete;

private:
    void OnProgress(std::uint64_t done, std::uint64_t total);

    std::unique_ptr<QProgressDialog> m_pDialog;
    ProgressHook m_previousHook;
    QElapsedTimer m_sinceRedraw;
};
