#pragma once

#include <QDateTime>
#include <QList>
#include <QObject>
#include <QString>
#include <functional>

#include "platform/Platform.h"
#include "results/ReportData.h"
#include "results/ReportFlow.h"
#include "results/SignalLog.h"

namespace norak {

class ReportRenderer;
class TestRun;

// The report's record of the last test: how it was run (noted at its start, since the panel may
// show another choice by the time the report is made), when it started and stopped, and the
// dropouts at their ticks (undone ones left out). It attaches itself to the run, and makes
// "Informe": the report of the last test and its signal log, when the export is possible.
class RunRecord : public QObject {
    Q_OBJECT

  public:
    RunRecord(TestRun& run, const Platform& platform, QObject* parent = nullptr);

    // Makes the report's PDF and prints it; none: the report does nothing.
    void setRenderer(ReportRenderer* renderer) { m_renderer = renderer; }
    ReportRenderer* renderer() const { return m_renderer; }
    // Names the sound output in use, for the report; asked at each start.
    void setSoundOutputName(std::function<QString()> name) { m_soundOutputName = std::move(name); }

    const ReportSettings& settings() const { return m_settings; }
    const QDateTime& startedAt() const { return m_startedAt; }
    const QDateTime& stoppedAt() const { return m_stoppedAt; }
    const QList<DropoutMark>& dropoutMarks() const { return m_dropouts; }

    ReportOutcome saveReport();

  private:
    TestRun& m_run;
    Platform m_platform;
    ReportRenderer* m_renderer = nullptr;
    std::function<QString()> m_soundOutputName;
    ReportSettings m_settings;
    QDateTime m_startedAt;
    QDateTime m_stoppedAt;
    QList<DropoutMark> m_dropouts;
};

}  // namespace norak
