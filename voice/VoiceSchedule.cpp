#include "voice/VoiceSchedule.h"

#include <algorithm>

namespace norak {

namespace {
const QString kComma = QStringLiteral(",");

// The words of a number as written in a speed text: "6" is "seis", "05" is "cero cinco".
QStringList numberWords(QStringView digits) {
    if (digits.isEmpty())
        return {};
    QStringList words;
    bool ok = false;
    const int value = digits.toInt(&ok);
    if (!ok || value < 0)
        return {};
    if (digits.size() == 1 || digits.front() != QLatin1Char('0')) {
        words.push_back(VoiceSchedule::numberClip(value));
    } else {
        for (QChar digit : digits)
            words.push_back(VoiceSchedule::numberClip(digit.digitValue()));
    }
    if (words.contains(QString()))
        return {};
    return words;
}
}  // namespace

VoiceSchedule::VoiceSchedule(ClipLengths lengths, qint64 signalMs, qint64 alertMs)
    : m_lengths(std::move(lengths)), m_signalMs(signalMs), m_alertMs(alertMs) {}

QString VoiceSchedule::numberClip(int n) {
    if (n < 0 || n > kMaxNumber)
        return {};
    return QStringLiteral("n%1").arg(n, 2, 10, QLatin1Char('0'));
}

QStringList VoiceSchedule::recoveryWords() {
    return {QStringLiteral("recuperacion")};
}

QStringList VoiceSchedule::periodWords(int period, const QString& speedText) {
    const QString periodNumber = period >= 1 ? numberClip(period) : QString();
    const QString text = speedText.trimmed();
    if (periodNumber.isEmpty() || text.isEmpty())
        return {};
    const qsizetype comma = std::max(text.indexOf(QLatin1Char(',')), text.indexOf(QLatin1Char('.')));
    const QStringView whole = comma < 0 ? QStringView(text) : QStringView(text).left(comma);
    const QStringList wholeWords = numberWords(whole);
    if (wholeWords.isEmpty())
        return {};
    QStringList words{QStringLiteral("periodo"), periodNumber, kComma};
    words += wholeWords;
    if (comma >= 0) {
        const QStringList decimals = numberWords(QStringView(text).mid(comma + 1));
        if (decimals.isEmpty())
            return {};
        words.push_back(QStringLiteral("coma"));
        words += decimals;
    }
    words.push_back(QStringLiteral("kmh"));
    return words;
}

QStringList VoiceSchedule::countdownWords() {
    return {numberClip(3), numberClip(2), numberClip(1)};
}

QStringList VoiceSchedule::soundCheckWords() {
    return {QStringLiteral("prueba")};
}

std::optional<SpokenPhrase> VoiceSchedule::layOut(SpokenPhrase::Kind kind, const QStringList& words,
                                                  qint64 start) const {
    if (words.isEmpty())
        return std::nullopt;
    SpokenPhrase phrase;
    phrase.kind = kind;
    qint64 at = start;
    qint64 gap = 0;
    for (const QString& word : words) {
        if (word == kComma) {
            gap = kCommaGapMs;
            continue;
        }
        const auto length = m_lengths.constFind(word);
        if (length == m_lengths.cend() || *length <= 0)
            return std::nullopt;
        at += phrase.clips.empty() ? 0 : gap;
        phrase.clips.push_back({word, at, *length});
        at += *length;
        gap = kWordGapMs;
    }
    return phrase;
}

bool VoiceSchedule::fits(const SpokenPhrase& phrase, qint64 from, qint64 until,
                         const std::vector<Span>& sounds, const std::vector<SpokenPhrase>& said) const {
    const qint64 start = phrase.startTick();
    const qint64 end = phrase.endTick();
    if (start < from || end > until - kClearMs)
        return false;
    for (const Span& sound : sounds) {
        if (end > sound.from - kClearMs && start < sound.to + kAfterSoundMs)
            return false;
    }
    for (const SpokenPhrase& other : said) {
        if (end > other.startTick() - kPhraseGapMs && start < other.endTick() + kPhraseGapMs)
            return false;
    }
    return true;
}

std::vector<SpokenPhrase> VoiceSchedule::forRecovery(const RecoveryCue& cue) const {
    using Kind = SpokenPhrase::Kind;
    const std::vector<Span> sounds{{cue.startTick, cue.startTick + m_signalMs},
                                   {cue.alertTick, cue.alertTick + m_alertMs},
                                   {cue.departureTick, cue.departureTick + m_signalMs}};
    const qint64 afterSignal = cue.startTick + m_signalMs + kAfterSoundMs;
    std::vector<SpokenPhrase> said;
    const auto sayIfItFits = [&](const std::optional<SpokenPhrase>& phrase) {
        if (phrase && fits(*phrase, cue.startTick, cue.departureTick, sounds, said))
            said.push_back(*phrase);
    };

    sayIfItFits(layOut(Kind::Recovery, recoveryWords(), afterSignal));

    const qint64 earliestPeriod = said.empty() ? afterSignal : said.back().endTick() + kPhraseGapMs;
    if (cue.nextPeriod <= cue.lastPeriod) {
        sayIfItFits(layOut(Kind::NextPeriod, periodWords(cue.nextPeriod, cue.speedText),
                           std::max(earliestPeriod, cue.alertTick - kPeriodBeforeAlertMs)));
    }

    // The countdown is said whole or not at all: one word a beat, the last a beat before the
    // departure.
    std::optional<SpokenPhrase> countdown;
    const QStringList countWords = countdownWords();
    for (qsizetype i = 0; i < countWords.size(); ++i) {
        const qint64 at = cue.departureTick - (countWords.size() - i) * kCountdownBeatMs;
        const std::optional<SpokenPhrase> word = layOut(Kind::Countdown, {countWords.at(i)}, at);
        if (!word) {
            countdown.reset();
            break;
        }
        if (!countdown)
            countdown = word;
        else
            countdown->clips.push_back(word->clips.front());
    }
    sayIfItFits(countdown);
    return said;
}

std::optional<SpokenPhrase> VoiceSchedule::forSoundCheck(qint64 alertTick) const {
    return layOut(SpokenPhrase::Kind::SoundCheck, soundCheckWords(), alertTick + m_alertMs + kAfterSoundMs);
}

}  // namespace norak
