// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The left of the window: the source, the part of a video taken, the frame size, tone and
// halftoning, and the current frame as it is and as the secret made of it, side by side.

#include <QCoreApplication>
#include <QWidget>
#include <functional>

#include "media/FrameImport.h"

class QCheckBox;
class QComboBox;
class QDoubleSpinBox;
class CElidedLabel;
class QSpinBox;
class CImageView;
class CStudioSession;

class CSourcePanel : public QWidget {
    Q_DECLARE_TR_FUNCTIONS(CSourcePanel)

public:
    CSourcePanel(CStudioSession& session, QWidget* parent = nullptr);

    // Called with a message when the settings can't be taken (a video that can't be read that way).
    void SetErrorHandler(std::function<void(const QString&)> handler) { m_onError = std::move(handler); }
    // Shows the session's source and settings and its current frame.
    void Refresh();
    // The controls' settings, as kvt import's options would give them.
    ImportSettings ReadControls() const;
    // Milliseconds the last preview took.
    qint64 GetPreviewTime() const { return m_previewTime; }

private:
    QWidget* MakeVideoGroup();
    QWidget* MakeToneGroup();
    void ShowSettings(const ImportSettings& settings);
    void TakeControls();
    void UpdatePreview();

    CStudioSession& m_session;
    std::function<void(const QString&)> m_onError;
    bool m_bShowing = false;  // controls being set from the session, not by the user
    qint64 m_previewTime = 0;

    CElidedLabel* m_file;
    QDoubleSpinBox* m_start;
    QDoubleSpinBox* m_duration;
    QDoubleSpinBox* m_fps;
    QSpinBox* m_width;
    QSpinBox* m_height;
    QComboBox* m_fit;
    QSpinBox* m_black;
    QSpinBox* m_white;
    QComboBox* m_autoLevels;
    QDoubleSpinBox* m_gamma;
    QCheckBox* m_invert;
    QComboBox* m_dither;
    QSpinBox* m_threshold;
    CImageView* m_original;
    CImageView* m_secret;
    CElidedLabel* m_secretInfo;
};
