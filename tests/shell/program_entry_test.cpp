#include <gtest/gtest.h>

#include <QApplication>
#include <QTimer>
#include <memory>
#include <stdexcept>

#include "platform/fakes/FakePlatform.h"
#include "shell/ProgramEntry.h"
#include "shell/UnitINI.h"

using namespace norak;

namespace {

class ProgramEntryTest : public ::testing::Test {
  protected:
    ErrorReporter reporter() {
        return [this](const QString& text) { m_reported.push_back(text); };
    }

    FakePlatform m_fakes;
    Platform m_platform = m_fakes.platform();
    QStringList m_reported;
};

}  // namespace

TEST_F(ProgramEntryTest, StartsWithTheFrontWindowAndHandsOverToTheMainWindow) {
    auto* app = qobject_cast<QApplication*>(QCoreApplication::instance());
    ASSERT_NE(app, nullptr);
    std::unique_ptr<QWidget> main;
    bool frontShownFirst = false;
    bool appWasAssembled = false;
    HandOver* handOverSeen = nullptr;
    const int code = runApplication(
        *app,
        [&](QApplication& given) {
            appWasAssembled = &given == app;
            EXPECT_EQ(QCoreApplication::applicationName(), QStringLiteral("NORAK"));
            // A plain widget as main window: shown the usual way, which does not block.
            return ProgramParts{&m_platform,
                                [&](HandOver& handOver) -> QWidget* {
                                    handOverSeen = &handOver;
                                    TFormINI* front = handOver.current();
                                    frontShownFirst = front != nullptr && front->isVisible();
                                    main = std::make_unique<QWidget>();
                                    QTimer::singleShot(0, app, [] { QCoreApplication::exit(0); });
                                    return main.get();
                                },
                                {}};
        },
        reporter());
    EXPECT_EQ(code, 0);
    EXPECT_TRUE(appWasAssembled);
    EXPECT_TRUE(frontShownFirst);
    ASSERT_NE(main, nullptr);
    EXPECT_TRUE(main->isVisible());
    EXPECT_NE(handOverSeen, nullptr);
    EXPECT_TRUE(m_reported.isEmpty());
    EXPECT_EQ(QCoreApplication::applicationName(), QStringLiteral("NORAK-Zevez"));
}

TEST_F(ProgramEntryTest, ErrorsBeforeAndDuringTheEventLoopEndInTheLastResortMessage) {
    auto* app = qobject_cast<QApplication*>(QCoreApplication::instance());
    ASSERT_NE(app, nullptr);
    int code = runApplication(
        *app, [](QApplication&) -> ProgramParts { throw std::runtime_error("sin dispositivo"); }, reporter());
    EXPECT_EQ(code, 1);
    ASSERT_EQ(m_reported.size(), 1);
    EXPECT_EQ(m_reported[0], QStringLiteral("5: sin dispositivo"));

    // A failing main window creation at the hand-over, inside the event loop.
    code = runApplication(
        *app,
        [this](QApplication&) {
            return ProgramParts{
                &m_platform, [](HandOver&) -> QWidget* { throw std::runtime_error("ventana"); }, {}};
        },
        reporter());
    EXPECT_EQ(code, 1);
    ASSERT_EQ(m_reported.size(), 2);
    EXPECT_EQ(m_reported[1], QStringLiteral("5: ventana"));
}
