// Shows one information panel of the test window in an 826 × 592 window:
//   panels_preview start <edition> [variant]   the start panel (variant: the edition's own)
//   panels_preview help <edition>              the help panel opened for the edition
//   panels_preview topbar <edition>            the top bar with its glyphs
//   panels_preview glyphs <edition>            every glyph at 32 and 96 pixels, on the button
//                                              color and on white, enabled and disabled
// It prints the window id on the first line of its output and runs until closed.
#include <QApplication>
#include <QLabel>
#include <QPainter>
#include <QTextStream>
#include <QTimer>
#include <QWidget>

#include "engine/Edition.h"
#include "shell/Glyphs.h"
#include "shell/HelpPanel.h"
#include "shell/QtColor.h"
#include "shell/StartPanel.h"
#include "shell/TopBarLayout.h"
#include "shell/controls/FlatButton.h"
#include "shell/controls/Fonts.h"

using namespace norak;

namespace {

void buildTopBar(QWidget* client, const EditionRecord& edition) {
    const TopBarGeometry bar = topBarLayout(client->width());
    const struct {
        const char* caption;
        Glyph glyph;
        bool enabled;
    } buttons[kTopBarButtonCount] = {
        {"Salir", Glyph::Exit, true},          {"Nuevo Test", Glyph::NewSheet, false},
        {"Iniciar prueba", Glyph::Play, true}, {"Fin de la prueba", Glyph::Stop, false},
        {"Ayuda", Glyph::Help, true},          {"A cerca de...", Glyph::Info, true}};
    for (int i = 0; i < kTopBarButtonCount; ++i) {
        auto* b = new FlatButton(client);
        b->setCaption(QString::fromUtf8(buttons[i].caption));
        b->setCaptionFont(pixelFont(QStringLiteral("Arial"), 15));
        b->setCaptionColor(Qt::white);
        b->setFaceColor(qColor(edition.colorMain));
        b->setBorderColor(qColor(edition.colorDark));
        b->setHighlightColor(QColor(240, 152, 19));
        b->setGlyphPainter(glyphPainter(buttons[i].glyph), QSize(kGlyphSize, kGlyphSize));
        b->setGlyphColors(qColor(edition.colorDark), qColor(edition.colorLight));
        b->setEnabled(buttons[i].enabled);
        b->setGeometry(bar[std::size_t(i)]);
    }
}

QPixmap glyphSheet(const EditionRecord& edition) {
    const Glyph all[] = {Glyph::Exit, Glyph::NewSheet, Glyph::Play,  Glyph::Stop,
                         Glyph::Help, Glyph::Info,     Glyph::Start, Glyph::Close};
    QPixmap sheet(826, 538);
    sheet.fill(Qt::white);
    QPainter p(&sheet);
    p.fillRect(QRect(0, 0, 826, 269), qColor(edition.colorMain));
    const QColor c0 = qColor(edition.colorDark);
    const QColor c1 = qColor(edition.colorLight);
    for (int half = 0; half < 2; ++half) {
        const int top = half * 269;
        for (int i = 0; i < 8; ++i) {
            const int x = 6 + i * 102;
            paintGlyph(p, QRectF(x, top + 10, 96, 96), all[i], c0, c1);
            paintGlyph(p, QRectF(x, top + 116, 32, 32), all[i], c0, c1);
            paintGlyph(p, QRectF(x + 40, top + 116, 32, 32), all[i], c0, c1, false);
            paintGlyph(p, QRectF(x, top + 156, 96, 96), all[i], c0, c1, false);
        }
    }
    return sheet;
}

}  // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    installFontSubstitutions();
    const QStringList args = app.arguments();
    const QString mode = args.value(1, QStringLiteral("start"));
    const int edition = args.value(2, QString::number(kBuildEdition)).toInt();
    const EditionRecord record = editionRecord(edition);

    QWidget window;
    window.setFixedSize(826, 592);
    window.setWindowTitle(record.editionTitle + QStringLiteral(": Quelmar en ") + record.sportName);
    window.setAutoFillBackground(true);
    QPalette pal = window.palette();
    pal.setColor(QPalette::Window, qColor(record.colorLight));
    window.setPalette(pal);
    window.setFont(pixelFont(QStringLiteral("MS Sans Serif"), 11));
    buildTopBar(&window, record);

    if (mode == QLatin1String("start")) {
        auto* start = new StartPanel(&window);
        start->setUpEdition(record);
        start->layOut(args.size() > 3 ? args.at(3).toInt() : record.editionVariant);
    } else if (mode == QLatin1String("glyphs")) {
        auto* sheet = new QLabel(&window);
        sheet->setPixmap(glyphSheet(record));
        sheet->setGeometry(0, 54, 826, 538);
    } else if (mode == QLatin1String("help")) {
        auto* help = new HelpPanel(&window);
        help->openHelp(edition);
    }
    window.move(0, 0);
    window.show();
    QTextStream(stdout) << window.winId() << Qt::endl;
    return app.exec();
}
