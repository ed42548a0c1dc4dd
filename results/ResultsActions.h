#pragma once

#include <QString>

#include "engine/UserTexts.h"
#include "platform/Platform.h"

namespace norak {

class AthleteRoster;
struct SquadRow;
class ResultsTable;

// The export file's suffix and folder.
inline const QString kExportDefaultSuffix = QStringLiteral("txt");
inline const QString kExportFolderName = QStringLiteral("Export");

// What the export writes besides the table, and where it is saved, as the run stands now.
struct ExportFacts {
    int startPeriod = 1;     // the period chosen on the configuration panel, whatever the mode
    QString startSpeedText;  // the speed shown when the test was started
    QString programDir;      // the export folder "Export" lies under it (ends with "/")
};

// The flows of the results table that talk to the user and the system: export, clearing the
// table, the table's part of a new test, and the question before leaving the program.
class ResultsActions {
  public:
    enum class ExportOutcome { NothingToExport, Cancelled, Failed, Written };

    ResultsActions(const QString& editionTitle, ResultsTable& table, AthleteRoster& roster,
                   const Platform& platform);

    // ExportFolder for a programDir: programDir + "Export/".
    static QString exportFolderFor(const QString& programDir);
    // The folder the results' save dialogs open in: the export folder, made when missing; the
    // home folder when it cannot be made. Ends with "/".
    static QString saveFolder(FileSystem& files, const QString& programDir);

    // The save dialog, then the file. Nothing at all without a named row.
    ExportOutcome exportResults(const ExportFacts& facts);
    // After an OK to the question, every cell emptied and every athlete
    // button hidden. True when the table was cleared.
    bool clearTable();
    // The table's part of preparing a new test: offers to export results that were never
    // exported, clears the result columns as answered, and sets ResultsExported to 0.
    void prepareNewTest(const ExportFacts& facts);
    // Leaving the program between tests: offers to export results never exported,
    // then asks the leave question. True to leave.
    bool confirmLeave(const ExportFacts& facts);
    // The leave question alone ("Salir de ..."); true for OK.
    bool askLeave();
    // A squad's names and codes in place of every cell, after the save question for results
    // never exported (as New test asks it); the athlete buttons hidden.
    void replaceNames(const QList<SquadRow>& rows, const ExportFacts& facts);
    // Asks the save question when some row holds results that were never exported; Yes exports.
    // True when the question was asked and answered No.
    bool askToSaveUnexported(const ExportFacts& facts);

  private:
    QString m_editionTitle;
    ResultsTable& m_table;
    AthleteRoster& m_roster;
    Platform m_platform;
};

}  // namespace norak
