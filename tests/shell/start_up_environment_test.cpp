#include <gtest/gtest.h>
#include <QProcess>
#include <QTemporaryDir>

// The program itself, started as a user would start it, in environments without a graphical
// session: one line that says so and an exit code, never an abort with a core dump. It runs in a
// scratch folder with scratch XDG folders, so it never touches the user's own.

namespace {

struct Outcome {
    bool finished = false;
    QProcess::ExitStatus status = QProcess::CrashExit;
    int code = -1;
    QStringList errorLines;
};

QProcessEnvironment withoutSession() {
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    for (const char* name : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM", "XDG_SESSION_TYPE"})
        env.remove(QLatin1String(name));
    env.insert(QStringLiteral("PULSE_SERVER"), QStringLiteral("unix:/nonexistent/norak-test/native"));
    return env;
}

Outcome run(QProcessEnvironment env, int waitMs) {
    QTemporaryDir work;
    // Folders of its own: the program claims the recovery journal and its lock in its state
    // folder, which must never be the user's (a test open there, or a journal waiting).
    for (const char* name : {"XDG_STATE_HOME", "XDG_DATA_HOME", "XDG_CONFIG_HOME", "XDG_CACHE_HOME"})
        env.insert(QLatin1String(name), work.filePath(QString::fromLatin1(name).toLower()));
    QProcess program;
    program.setProcessEnvironment(env);
    program.setWorkingDirectory(work.path());
    program.start(QStringLiteral(NORAK_PROGRAM_FILE), {});
    Outcome outcome;
    if (!program.waitForStarted(5000))
        return outcome;
    outcome.finished = program.waitForFinished(waitMs);
    if (!outcome.finished) {
        program.kill();
        program.waitForFinished(5000);
        return outcome;
    }
    outcome.status = program.exitStatus();
    outcome.code = program.exitCode();
    outcome.errorLines =
        QString::fromUtf8(program.readAllStandardError()).split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    return outcome;
}

}  // namespace

TEST(StartUpEnvironment, WithoutAGraphicalSessionSaysSoInOneLine) {
    const char* displays[] = {nullptr, ":97", "no such display"};
    for (const char* display : displays) {
        SCOPED_TRACE(display ? display : "no DISPLAY");
        QProcessEnvironment env = withoutSession();
        if (display)
            env.insert(QStringLiteral("DISPLAY"), QLatin1String(display));
        const Outcome outcome = run(env, 20000);
        ASSERT_TRUE(outcome.finished);
        EXPECT_EQ(outcome.status, QProcess::NormalExit);  // not killed by a signal
        EXPECT_NE(outcome.code, 0);
        ASSERT_EQ(outcome.errorLines.size(), 1) << outcome.errorLines.join(QLatin1Char('|')).toStdString();
        EXPECT_TRUE(outcome.errorLines.front().contains(QStringLiteral("sesión gráfica")));
        // The line says what to do: where the program was built from its sources, the build
        // script's run on a virtual display.
        EXPECT_TRUE(outcome.errorLines.front().contains(QStringLiteral("xvfb-run -a ./build.sh run")));
    }
}

TEST(StartUpEnvironment, TheOffscreenPlatformStillRunsTheProgram) {
    QProcessEnvironment env = withoutSession();
    env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    const Outcome outcome = run(env, 1500);
    EXPECT_FALSE(outcome.finished) << outcome.errorLines.join(QLatin1Char('|')).toStdString();
}
