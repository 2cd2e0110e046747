#pragma once

#include "models/RecordingItem.h"
#include "views/logic/DetailAreaRules.h"

#include <QWidget>

#include <optional>

class LibraryViewModel;
class ProcessingRuns;
class QLabel;
class QPushButton;
class QToolButton;
class SegmentButton;
class TrimSession;

// The actions above a stored recording's Audio pane: the voice-enhancement
// slot (Original/Enhanced switch, progress badge or "Enhance Voice") and
// "Trim", or, in trim mode, the "Trimming Mode" badge and "Done".
class DetailHeader : public QWidget {
    Q_OBJECT
public:
    explicit DetailHeader(LibraryViewModel& library, ProcessingRuns& processing, TrimSession& trim,
                          QWidget* parent = nullptr);

    // Shows the form `layout` asks for, acting on `item`.
    void present(const DetailAreaRules::Layout& layout, const std::optional<RecordingItem>& item,
                 bool isPlayingEnhanced);

    QWidget* trimmingForm() const { return m_trimming; }
    QWidget* normalForm() const { return m_normal; }
    QWidget* enhancedSwitch() const { return m_switch; }
    QWidget* enhancingBadge() const { return m_enhancing; }
    QLabel* enhancingText() const { return m_enhancingText; }
    QToolButton* cancelEnhancingButton() const { return m_cancelEnhancing; }
    QPushButton* enhanceButton() const { return m_enhance; }
    QPushButton* trimButton() const { return m_trim; }
    QPushButton* doneButton() const { return m_done; }
    SegmentButton* originalSegment() const { return m_original; }
    SegmentButton* enhancedSegment() const { return m_enhanced; }

private:
    QWidget* buildTrimmingForm();
    QWidget* buildNormalForm();
    // The enhancement's figure beside its words, once there is one.
    void refreshEnhancingText();

    LibraryViewModel& m_library;
    ProcessingRuns& m_processing;
    TrimSession& m_trimSession;
    std::optional<RecordingItem> m_item;
    QWidget* m_trimming = nullptr;
    QWidget* m_normal = nullptr;
    QWidget* m_switch = nullptr;
    QWidget* m_enhancing = nullptr;
    QLabel* m_enhancingText = nullptr;
    QToolButton* m_cancelEnhancing = nullptr;
    QPushButton* m_enhance = nullptr;
    QPushButton* m_trim = nullptr;
    QPushButton* m_done = nullptr;
    SegmentButton* m_original = nullptr;
    SegmentButton* m_enhanced = nullptr;
};
