#pragma once

#include <QHash>
#include <QString>
#include <QStringList>
#include <optional>
#include <vector>

namespace norak {

// One rendered word (or word group) of the voice, placed at a tick.
struct PlacedClip {
    QString name;  // file name under the voice's resources, without ".wav"
    qint64 startTick = 0;
    qint64 lengthMs = 0;
    qint64 endTick() const { return startTick + lengthMs; }
};

// A phrase as it will be heard: its words at their ticks, in order.
struct SpokenPhrase {
    enum class Kind { Recovery, NextPeriod, Countdown, SoundCheck };
    Kind kind = Kind::Recovery;
    std::vector<PlacedClip> clips;
    qint64 startTick() const { return clips.front().startTick; }
    qint64 endTick() const { return clips.back().endTick(); }
};

// A recovery as the run announces it when it begins.
struct RecoveryCue {
    int nextPeriod = 0;
    QString speedText;     // the coming period's speed as the display shows it ("9,6")
    qint64 startTick = 0;  // the tick of the signal that ended the period (or the warm-up)
    qint64 alertTick = 0;  // the recovery's alert, 3 s before its end
    qint64 departureTick = 0;
    // The last period of the table in use: after it the run goes on without signals, and no
    // period is announced.
    int lastPeriod = 0;
};

// The length in milliseconds of each rendered clip, by name, as measured from its file.
using ClipLengths = QHash<QString, qint64>;

// What is said during a recovery, and when. Every phrase lies inside the recovery, starts after
// the signal or alert before it has ended (and a breath more), and ends at least kClearMs before
// the next signal or alert; a phrase that cannot fit so is not said at all, since a word cut off
// or a signal covered would be worse than silence. Phrases never overlap each other.
//
// - "Recuperación" right after the period's last signal;
// - "Periodo N, X coma Y kilómetros por hora" so that it starts kPeriodBeforeAlertMs before the
//   alert: late enough that the players have their breath back and remember it, early enough to
//   end well before the alert; not after the table's last period;
// - "tres, dos, uno" one word a beat, "uno" on the last beat before the departure, so that the
//   departure signal falls where the next beat would.
//
// The warm-up's long recovery gets the same phrases: the period comes near its end.
class VoiceSchedule {
  public:
    static constexpr qint64 kClearMs = 250;
    static constexpr qint64 kAfterSoundMs = 150;
    static constexpr qint64 kWordGapMs = 40;
    static constexpr qint64 kCommaGapMs = 250;
    static constexpr qint64 kPhraseGapMs = 400;
    static constexpr qint64 kPeriodBeforeAlertMs = 10000;
    static constexpr qint64 kCountdownBeatMs = 850;
    static constexpr int kMaxNumber = 30;  // the highest number the voice has a word for

    // signalMs and alertMs: how long the signal sound and the alert sound last.
    VoiceSchedule(ClipLengths lengths, qint64 signalMs, qint64 alertMs);

    // The phrases of a recovery, in the order they are said.
    std::vector<SpokenPhrase> forRecovery(const RecoveryCue& cue) const;
    // The sound check's phrase, after its alert.
    std::optional<SpokenPhrase> forSoundCheck(qint64 alertTick) const;

    // The words of each phrase as clip names; "," stands for the pause of a comma. periodWords
    // is empty when the period or the speed text has a number the voice has no word for.
    static QStringList recoveryWords();
    static QStringList periodWords(int period, const QString& speedText);
    static QStringList countdownWords();
    static QStringList soundCheckWords();
    // "n07"; empty outside 0..kMaxNumber.
    static QString numberClip(int n);

    const ClipLengths& lengths() const { return m_lengths; }

  private:
    struct Span {
        qint64 from;
        qint64 to;
    };
    // The words laid out one after another from `start`; nullopt when a clip is missing.
    std::optional<SpokenPhrase> layOut(SpokenPhrase::Kind kind, const QStringList& words, qint64 start) const;
    bool fits(const SpokenPhrase& phrase, qint64 from, qint64 until, const std::vector<Span>& sounds,
              const std::vector<SpokenPhrase>& said) const;

    ClipLengths m_lengths;
    qint64 m_signalMs;
    qint64 m_alertMs;
};

}  // namespace norak
