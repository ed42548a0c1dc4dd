#include <gtest/gtest.h>

#include "engine/ProgramDir.h"

using namespace norak;

TEST(ProgramDir, FolderKeepsItsFinalSeparator) {
    EXPECT_EQ(programDirOf(QStringLiteral("/opt/norak/bin/norak")), QStringLiteral("/opt/norak/bin/"));
    EXPECT_EQ(programDirOf(QStringLiteral("C:\\Archivos\\NORAK\\NORAK.exe")),
              QStringLiteral("C:\\Archivos\\NORAK\\"));
    // Both separators count, whichever comes last.
    EXPECT_EQ(programDirOf(QStringLiteral("C:\\NORAK/bin\\norak")), QStringLiteral("C:\\NORAK/bin\\"));
    EXPECT_EQ(programDirOf(QStringLiteral("/home/coach\\norak")), QStringLiteral("/home/coach\\"));
    EXPECT_EQ(programDirOf(QStringLiteral("/norak")), QStringLiteral("/"));
}

TEST(ProgramDir, EdgeCases) {
    // A path ending in a separator is returned whole; a bare name has no folder.
    EXPECT_EQ(programDirOf(QStringLiteral("/opt/norak/")), QStringLiteral("/opt/norak/"));
    EXPECT_EQ(programDirOf(QStringLiteral("D:\\")), QStringLiteral("D:\\"));
    EXPECT_EQ(programDirOf(QStringLiteral("norak")), QString());
    EXPECT_EQ(programDirOf(QString()), QString());
    EXPECT_EQ(programDirOf(QStringLiteral("/")), QStringLiteral("/"));
    // Non-ASCII names are walked character by character.
    EXPECT_EQ(programDirOf(QStringLiteral("/home/entrenador/pruebas año/norák")),
              QStringLiteral("/home/entrenador/pruebas año/"));
}
