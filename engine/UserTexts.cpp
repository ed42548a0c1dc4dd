#include "engine/UserTexts.h"

#include <QDir>

#include "engine/PeriodLine.h"
#include "platform/Messages.h"
#include "platform/Sound.h"

namespace norak {

QString testModeText(TestMode mode) {
    switch (mode) {
        case TestMode::Completo:
            return QStringLiteral("Test completo");
        case TestMode::Esfuerzo:
            return QStringLiteral("Test de esfuerzo");
        case TestMode::Repetir:
            return QStringLiteral("Repetir periodo");
    }
    return {};
}

QString badPeriodLineText(int period, const QString& line) {
    constexpr qsizetype kLongest = 30;
    QString quoted;
    for (const QChar c : line)
        quoted += c.category() == QChar::Other_Control ? QLatin1Char(' ') : c;
    if (quoted.size() > kLongest) {
        const qsizetype cut = quoted[kLongest - 1].isHighSurrogate() ? kLongest - 1 : kLongest;
        quoted = quoted.left(cut) + QStringLiteral("…");
    }
    // In one pass: a "%3" typed into the line stays as it was typed.
    return QStringLiteral(
               "La línea %1 de la tabla de periodos («%2») no es un número entero de milisegundos entre %3 "
               "y %4. No se darán señales en ese periodo hasta que se corrija; la prueba continúa.")
        .arg(QString::number(period), quoted, QString::number(kMinLegMs), QString::number(kMaxLegMs));
}

QString journalSetAsideText(const QString& badFilePath) {
    return QStringLiteral(
               "El archivo de recuperación de la última prueba está dañado y no se puede leer. Se ha "
               "apartado como %1.")
        .arg(QDir::toNativeSeparators(badFilePath));
}

QString journalNotKeptText(const QString& folder) {
    return QStringLiteral(
               "No se puede escribir en la carpeta %1. Si el programa se cierra por un fallo, los "
               "resultados de esta prueba no se conservarán.")
        .arg(QDir::toNativeSeparators(folder));
}

void warn(Sound& sound, Messages& messages, const QString& text, const QString& caption) {
    sound.alert(kAlertWarning);
    messages.warning(caption, text);
}

void tell(Sound& sound, Messages& messages, const QString& caption, const QString& text) {
    sound.alert(kAlertWarning);
    messages.information(caption, text);
}

}  // namespace norak
