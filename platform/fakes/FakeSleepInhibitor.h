#pragma once

#include <QString>

#include "platform/SleepInhibitor.h"

namespace norak {

// Records what the program asks of the desktop's sleep: whether it holds the inhibitor now and
// how often it took and released it.
class FakeSleepInhibitor : public SleepInhibitor {
  public:
    void take(const QString& reason) override {
        if (m_held)
            return;
        m_held = true;
        ++m_takes;
        m_reason = reason;
    }
    void release() override {
        if (!m_held)
            return;
        m_held = false;
        ++m_releases;
    }

    bool m_held = false;
    int m_takes = 0;
    int m_releases = 0;
    QString m_reason;
};

}  // namespace norak
