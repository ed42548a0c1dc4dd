#pragma once

#include <QWidget>
#include <array>

#include "engine/Edition.h"

namespace norak {

class FlatPanel;
class RunWarnings;
class TestRun;

// The glance area `PanelResumen` under the results table: three displays, each a caption beside
// its value, of what the test master needs at a glance during a run (players still running,
// players out, the best distance so far) and between tests (named players, rows with results,
// the last test's best distance). It draws the run's figures whenever the run says it changed.
class GlancePanel : public QWidget {
    Q_OBJECT

  public:
    static constexpr int kDisplayCount = 3;

    GlancePanel(const EditionRecord& edition, TestRun& run, QWidget* parent = nullptr);

    FlatPanel* caption(int display) const { return m_captions[std::size_t(display)]; }
    FlatPanel* value(int display) const { return m_values[std::size_t(display)]; }

    // Shows the run's figures as they are now.
    void render();
    // A fourth display, "Avisos": the warnings of the test running (or of the last one).
    void setWarnings(const RunWarnings* warnings);
    FlatPanel* warningCaption() const { return m_warningCaption; }
    FlatPanel* warningValue() const { return m_warningValue; }

  protected:
    void resizeEvent(QResizeEvent* event) override;

  private:
    void layoutChildren();

    TestRun& m_run;
    std::array<FlatPanel*, kDisplayCount> m_captions{};
    std::array<FlatPanel*, kDisplayCount> m_values{};
    const RunWarnings* m_warnings = nullptr;
    FlatPanel* m_warningCaption = nullptr;
    FlatPanel* m_warningValue = nullptr;
};

}  // namespace norak
