#pragma once

#include <QString>

#include "engine/Configuration.h"

namespace norak {

class Messages;
class Sound;

// The messages the program shows about a run, and their captions, in one place. Every error box
// has the caption "Información" and comes after the warning alert.
inline const QString kInformationCaption = QStringLiteral("Información");
inline const QString kNoSoundCardText =
    QStringLiteral("No se ha encontrado ninguna tarjeta de sonido instalada en su sistema.");

// A test's mode as the report and the history name it: "Test completo", "Test de esfuerzo",
// "Repetir periodo".
QString testModeText(TestMode mode);

// The results table: clearing it, saving results never exported, the export's dialog.
inline const QString kClearTableCaption = QStringLiteral("Borrar datos");
inline const QString kClearTableText = QStringLiteral(
    "¿Realmente desea borrar todos los datos que actualmente se encuentran en la Tabla de resultados de "
    "los deportistas?");
inline const QString kSaveDataCaption = QStringLiteral("Guardar datos");
inline const QString kSaveDataText = QStringLiteral(
    "Los registros de la anterior prueba de esfuerzo aún no han sido exportados ¿Desea guardarlos ahora?");
inline const QString kExportDialogTitle = QStringLiteral("Exportación de Registros de ZIRKO...");
inline const QString kExportDialogFilter = QStringLiteral("Archivo de exportación de Registros (*.txt)");
inline QString exportFailedText(const QString& editionTitle) {
    return QStringLiteral("No se ha podido exportar el archivo de Registros de ") + editionTitle +
           QLatin1Char('.');
}
// The question before leaving the program (OK/Cancel).
inline QString leaveCaption(const QString& editionTitle) {
    return QStringLiteral("Salir de ") + editionTitle;
}
inline QString leaveText(const QString& editionTitle) {
    return QStringLiteral("Esto finaliza su sesión con ") + editionTitle + QLatin1Char('.');
}

// The texts of loading the players from a file ("Cargar" in the "Deportistas" title bar).
inline const QString kLoadButtonText = QStringLiteral("Cargar");
inline const QString kLoadButtonHint = QStringLiteral("Cargar los deportistas desde un archivo");
inline const QString kLoadDialogCaption = QStringLiteral("Cargar deportistas");
inline const QString kLoadDialogFilter = QStringLiteral("Archivos de deportistas (*.txt *.csv)");
// The question before names in the table are replaced (Yes/No, alert 10040).
inline const QString kLoadReplaceCaption = QStringLiteral("Cargar deportistas");
inline const QString kLoadReplaceText =
    QStringLiteral("La tabla ya contiene deportistas. ¿Desea sustituirlos por los del archivo?");
// Error boxes have the caption every error box of the program has.
inline const QString kLoadErrorCaption = QStringLiteral("Información");
// The caption of the one message that lists what was cut, refused or left out.
inline const QString kLoadProblemsCaption = QStringLiteral("Cargar deportistas");

// The texts of the report flow ("Informe" in the "Deportistas" title bar).
inline const QString kReportButtonText = QStringLiteral("Informe");
inline const QString kReportButtonHint = QStringLiteral("Crear el informe de la prueba");
inline const QString kReportDialogTitle = QStringLiteral("Guardar el informe de la prueba");
inline const QString kReportDialogFilter = QStringLiteral("Informe en PDF (*.pdf)");
inline const QString kReportDefaultSuffix = QStringLiteral("pdf");
// Asked after the report was saved (Yes/No, alert 10040): Yes opens the print dialog.
inline const QString kReportPrintCaption = QStringLiteral("Informe");
inline const QString kReportPrintText = QStringLiteral("El informe se ha guardado. ¿Desea imprimirlo ahora?");
// The error box when the report or its signal log cannot be written (caption "Información").
inline QString reportFailedText(const QString& editionTitle) {
    return QStringLiteral("No se ha podido guardar el informe de ") + editionTitle + QLatin1Char('.');
}
// Told when the report was saved but its signal log could not be (caption "Información").
inline QString signalLogFailedText(const QString& fileName) {
    return QStringLiteral("El informe se ha guardado, pero no se ha podido guardar el registro de señales ") +
           fileName + QLatin1Char('.');
}
inline const QString kReportPrintFailedText = QStringLiteral("No se ha podido imprimir el informe.");

// The recovery journal: the question after a run that did not end cleanly, and what is told
// when it cannot be read, kept, or is kept by another copy of the program.
inline const QString kRestoreCaption = QStringLiteral("Recuperar datos");
inline const QString kRestoreQuestion = QStringLiteral(
    "El programa no se cerró correctamente la última vez y la tabla de resultados de aquella prueba "
    "se ha conservado. ¿Desea recuperarla?");
inline const QString kJournalHeldElsewhereText = QStringLiteral(
    "Hay otra copia del programa abierta, y es ella la que conserva su tabla de resultados por si "
    "se cierra por un fallo. Los resultados de esta ventana no se conservarán en ese caso: "
    "expórtelos al terminar la prueba.");
QString journalSetAsideText(const QString& badFilePath);
QString journalNotKeptText(const QString& folder);

// A line of the period table that is no whole number of milliseconds; the line is quoted with its
// control characters as spaces and, when long (a paste, say), cut short.
QString badPeriodLineText(int period, const QString& line);

// The warning alert, then an error box (the exclamation icon).
void warn(Sound& sound, Messages& messages, const QString& text,
          const QString& caption = kInformationCaption);
// The warning alert, then a plain message box.
void tell(Sound& sound, Messages& messages, const QString& caption, const QString& text);

}  // namespace norak
