#pragma once

#include <QString>

#include "platform/Platform.h"

namespace norak {

class AthleteRoster;
class LiveReadings;
class ResultsTable;

// The texts of the results questions and messages.
inline const QString kClearTableCaption = QStringLiteral("Borrar datos");
inline const QString kClearTableText = QStringLiteral(
    "¿Realmente desea borrar todos los datos que actualmente se encuentran en la Tabla de resultados de "
    "los deportistas?");
inline const QString kSaveDataCaption = QStringLiteral("Guardar datos");
inline const QString kSaveDataText = QStringLiteral(
    "Los registros de la anterior prueba de esfuerzo aún no han sido exportados ¿Desea guardarlos ahora?");
inline const QString kExportDialogTitle = QStringLiteral("Exportación de Registros de ZIRKO...");
inline const QString kExportDialogFilter = QStringLiteral("Archivo de exportación de Registros (*.txt)");
inline const QString kExportDefaultSuffix = QStringLiteral("txt");
inline const QString kExportFolderName = QStringLiteral("Export");

// The flows of the results table that talk to the user and the system: export, clearing the
// table, the table's part of a new test, and the question before leaving the program.
class ResultsActions {
  public:
    enum class ExportOutcome { NothingToExport, Cancelled, Failed, Written };

    ResultsActions(const QString& editionTitle, ResultsTable& table, AthleteRoster& roster,
                   const Platform& platform, LiveReadings& readings);

    // ExportFolder for a ProgramDir: ProgramDir + "Export/".
    static QString exportFolderFor(const QString& programDir);
    // The folder the results' save dialogs open in: the export folder, made when missing; the
    // home folder when it cannot be made. Ends with "/".
    static QString saveFolder(FileSystem& files, const QString& programDir);

    // BtnExportDatosClick: the save dialog, then the file. Nothing at all without a named row.
    ExportOutcome exportResults();
    // BtnBorrarTablaClick: after an OK to the question, every cell emptied and every athlete
    // button hidden. True when the table was cleared.
    bool clearTable();
    // The table's part of preparing a new test: offers to export results that were never
    // exported, clears the result columns as answered, and sets ResultsExported to 0.
    void prepareNewTest();
    // "Salir" and closing the window between tests: offers to export results never exported,
    // then asks the leave question. True to leave.
    bool confirmLeave();
    // The leave question alone ("Salir de ..."); true for OK.
    bool askLeave();
    // Asks the save question when some row holds results that were never exported; Yes exports.
    // True when the question was asked and answered No.
    bool askToSaveUnexported();

  private:
    QString m_editionTitle;
    ResultsTable& m_table;
    AthleteRoster& m_roster;
    Platform m_platform;
    LiveReadings& m_readings;
};

}  // namespace norak
