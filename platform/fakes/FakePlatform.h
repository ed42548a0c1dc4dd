#pragma once

#include <QByteArray>
#include <QDateTime>
#include <QMap>
#include <QSet>
#include <QString>
#include <QStringList>
#include <deque>
#include <optional>
#include <vector>

#include "platform/Platform.h"

namespace norak {

// Test doubles of the platform interfaces: time moves only when a test moves it, sounds and
// dialogs are recorded, answers are scripted, and files live in memory unless a test asks for
// the real file system.

class FakeTickSource : public TickSource {
  public:
    qint64 ticks() const override { return m_now; }
    void set(qint64 now) { m_now = now; }
    void advance(qint64 ms) { m_now += ms; }

  private:
    qint64 m_now = 1000000;
};

class FakeClock : public LocalClock {
  public:
    QDateTime now() const override { return m_start.addMSecs(m_offsetMs); }
    QChar dateSeparator() const override { return m_dateSeparator; }
    QChar timeSeparator() const override { return m_timeSeparator; }
    QChar decimalSeparator() const override { return m_decimalSeparator; }

    void set(const QDateTime& now) {
        m_start = now;
        m_offsetMs = 0;
    }
    // Cheap enough to call on every simulated tick of an hours-long test.
    void advanceMs(qint64 ms) { m_offsetMs += ms; }

    QChar m_dateSeparator = QLatin1Char('/');
    QChar m_timeSeparator = QLatin1Char(':');
    QChar m_decimalSeparator = QLatin1Char(',');

  private:
    QDateTime m_start{QDate(2026, 12, 6), QTime(19, 45, 0)};
    qint64 m_offsetMs = 0;
};

class FakeSound : public Sound {
  public:
    // With a tick source each word is noted with the tick it was asked for at, and a cancel marks
    // the words still to come at its tick as called off; without one a cancel is only counted.
    explicit FakeSound(const TickSource* ticks = nullptr) : m_ticks(ticks) {}

    int outputDeviceCount() override { return m_devices; }
    void playSignal() override { ++m_signals; }
    void alert(int code) override { m_alerts.push_back(code); }
    void playClip(const QString& clip, qint64 delayMs) override {
        m_clips.push_back({clip, delayMs, m_ticks ? m_ticks->ticks() : -1});
    }
    void cancelClips() override {
        ++m_cancels;
        if (!m_ticks)
            return;
        for (PlayedClip& clip : m_clips) {
            if (clip.askedAtTick >= 0 && clip.startTick() >= m_ticks->ticks())
                clip.calledOff = true;
        }
    }

    struct PlayedClip {
        QString clip;
        qint64 delayMs = 0;
        qint64 askedAtTick = -1;  // -1: no tick source
        bool calledOff = false;   // still to come when the words were called off
        qint64 startTick() const { return askedAtTick + delayMs; }
    };
    // The words that were not called off before they began.
    std::vector<PlayedClip> heardClips() const {
        std::vector<PlayedClip> heard;
        for (const PlayedClip& clip : m_clips) {
            if (!clip.calledOff)
                heard.push_back(clip);
        }
        return heard;
    }

    const TickSource* m_ticks;
    int m_devices = 1;
    int m_signals = 0;
    std::vector<int> m_alerts;
    std::vector<PlayedClip> m_clips;  // every word asked for, with its delay from the request
    int m_cancels = 0;
};

class FakeMessages : public Messages {
  public:
    struct Shown {
        QString kind;  // "okcancel", "yesno", "information", "warning"
        QString caption;
        QString text;
    };

    bool askOkCancel(const QString& caption, const QString& text) override {
        m_shown.push_back({QStringLiteral("okcancel"), caption, text});
        return nextAnswer();
    }
    bool askYesNo(const QString& caption, const QString& text) override {
        m_shown.push_back({QStringLiteral("yesno"), caption, text});
        return nextAnswer();
    }
    void information(const QString& caption, const QString& text) override {
        m_shown.push_back({QStringLiteral("information"), caption, text});
    }
    void warning(const QString& caption, const QString& text) override {
        m_shown.push_back({QStringLiteral("warning"), caption, text});
    }

    // Answers for the coming questions, in order; when none is left the default is given.
    std::deque<bool> m_answers;
    bool m_defaultAnswer = true;
    std::vector<Shown> m_shown;

  private:
    bool nextAnswer() {
        if (m_answers.empty())
            return m_defaultAnswer;
        bool answer = m_answers.front();
        m_answers.pop_front();
        return answer;
    }
};

class FakeSaveDialog : public SaveDialog {
  public:
    std::optional<QString> getSaveFileName(const SaveRequest& request) override {
        m_requests.push_back(request);
        return m_answer;
    }
    std::optional<QString> getOpenFileName(const SaveRequest& request) override {
        m_openRequests.push_back(request);
        return m_openAnswer;
    }
    std::optional<QString> m_answer;  // nullopt: Cancel
    std::vector<SaveRequest> m_requests;
    std::optional<QString> m_openAnswer;
    std::vector<SaveRequest> m_openRequests;
};

// In memory by default; with m_useRealFiles the folder and write calls go to the disk.
class FakeFileSystem : public FileSystem {
  public:
    QString programFilePath() const override { return m_programFilePath; }
    QString currentFolder() const override { return m_currentFolder; }
    QString homeFolder() const override { return m_homeFolder; }
    bool folderExists(const QString& path) const override;
    bool createFolder(const QString& path) override;
    bool writeFileAtomically(const QString& path, const QByteArray& content) override;

    QString m_programFilePath = QStringLiteral("/opt/norak/bin/norak");
    QString m_currentFolder = QStringLiteral("/home/coach");
    QString m_homeFolder = QStringLiteral("/home/coach");
    QSet<QString> m_folders;
    QMap<QString, QByteArray> m_files;
    bool m_failWrites = false;
    bool m_failCreateFolder = false;
    bool m_useRealFiles = false;
};

class FakeDesktopShell : public DesktopShell {
  public:
    void open(const QString& address) override { m_opened.push_back(address); }
    QStringList m_opened;
};

// One of each fake, bundled as a Platform.
struct FakePlatform {
    FakeTickSource ticks;
    FakeClock clock;
    FakeSound sound{&ticks};
    FakeMessages messages;
    FakeSaveDialog saveDialog;
    FakeFileSystem files;
    FakeDesktopShell shell;

    Platform platform() { return Platform{ticks, clock, sound, messages, saveDialog, files, shell}; }
};

}  // namespace norak
