#include "shell/GraphicalSession.h"

#include <QString>
#include <QtGlobal>
#include <cstdio>
#include <cstdlib>
#include <vector>

namespace norak {

namespace {

struct HeldMessage {
    QtMsgType type;
    const char* file;
    int line;
    const char* function;
    const char* category;
    QString text;
};

QtMessageHandler g_previous = nullptr;
std::vector<HeldMessage>* g_held = nullptr;

void holdMessage(QtMsgType type, const QMessageLogContext& context, const QString& text) {
    if (type == QtFatalMsg) {
        std::fputs(
            "NORAK necesita una sesión gráfica para mostrar sus ventanas: no hay ninguna pantalla "
            "disponible. Sin pantalla, arránquelo en una virtual con xvfb-run -a (desde el código "
            "fuente: xvfb-run -a ./build.sh run).\n",
            stderr);
        std::fflush(stderr);
        std::_Exit(GraphicalSessionGuard::kNoGraphicalSession);
    }
    g_held->push_back({type, context.file, context.line, context.function, context.category, text});
}

}  // namespace

GraphicalSessionGuard::GraphicalSessionGuard() {
    g_held = new std::vector<HeldMessage>;
    g_previous = qInstallMessageHandler(holdMessage);
}

GraphicalSessionGuard::~GraphicalSessionGuard() {
    qInstallMessageHandler(g_previous);
    for (const HeldMessage& m : *g_held) {
        const QMessageLogContext context(m.file, m.line, m.function, m.category);
        if (g_previous)
            g_previous(m.type, context, m.text);
        else
            qt_message_output(m.type, context, m.text);
    }
    delete g_held;
    g_held = nullptr;
}

}  // namespace norak
