#include "history/HistoryText.h"

#include <QRegularExpression>

namespace norak {

QString playerNameKey(const QString& name) {
    const QString decomposed = name.simplified().normalized(QString::NormalizationForm_D);
    QString key;
    key.reserve(decomposed.size());
    for (const QChar c : decomposed) {
        if (c.category() == QChar::Mark_NonSpacing)
            continue;  // the accents, split off by the decomposition
        key += c.toCaseFolded();
    }
    return key;
}

std::optional<int> secondsFromTimeText(const QString& text) {
    static const QRegularExpression pattern(QStringLiteral("^(\\d{1,4}):(\\d{2})$"));
    const QRegularExpressionMatch match = pattern.match(text.trimmed());
    if (!match.hasMatch())
        return std::nullopt;
    const int seconds = match.captured(2).toInt();
    if (seconds > 59)
        return std::nullopt;
    return match.captured(1).toInt() * 60 + seconds;
}

std::optional<int> integerFromText(const QString& text) {
    bool ok = false;
    const int value = text.trimmed().toInt(&ok);
    return ok ? std::optional<int>(value) : std::nullopt;
}

std::optional<double> decimalFromText(const QString& text) {
    QString t = text.trimmed();
    t.replace(QLatin1Char(','), QLatin1Char('.'));
    bool ok = false;
    const double value = t.toDouble(&ok);
    return ok && !t.isEmpty() ? std::optional<double>(value) : std::nullopt;
}

QString decimalCommaText(double value, int decimals) {
    QString text = QString::number(value, 'f', decimals);
    if (text.contains(QLatin1Char('.'))) {
        while (text.endsWith(QLatin1Char('0')))
            text.chop(1);
        if (text.endsWith(QLatin1Char('.')))
            text.chop(1);
    }
    text.replace(QLatin1Char('.'), QLatin1Char(','));
    return text;
}

}  // namespace norak
