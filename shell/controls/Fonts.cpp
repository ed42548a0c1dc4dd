#include "shell/controls/Fonts.h"

#include <QFontDatabase>
#include <QGuiApplication>
#include <QStringList>

namespace norak {

namespace {

const QString kSans = QStringLiteral("Liberation Sans");
const QString kNarrow = QStringLiteral("Liberation Sans Narrow");
const QString kDejaVu = QStringLiteral("DejaVu Sans");

void registerEmbeddedFonts() {
    const char* files[] = {"LiberationSans-Regular",
                           "LiberationSans-Bold",
                           "LiberationSans-Italic",
                           "LiberationSans-BoldItalic",
                           "LiberationSansNarrow-Regular",
                           "LiberationSansNarrow-Bold",
                           "DejaVuSans",
                           "DejaVuSans-Bold",
                           "DejaVuSans-BoldOblique"};
    for (const char* file : files)
        QFontDatabase::addApplicationFont(QStringLiteral(":/fonts/%1.ttf").arg(QLatin1String(file)));
}

}  // namespace

QString embeddedFamily(const QString& family) {
    if (family.compare(QLatin1String("Arial"), Qt::CaseInsensitive) == 0)
        return kSans;
    if (family.compare(QLatin1String("Arial Narrow"), Qt::CaseInsensitive) == 0)
        return kNarrow;
    if (family.compare(QLatin1String("Arial Black"), Qt::CaseInsensitive) == 0 ||
        family.compare(QLatin1String("MS Sans Serif"), Qt::CaseInsensitive) == 0) {
        return kDejaVu;
    }
    return family;
}

void installFontSubstitutions() {
    static bool installed = false;
    if (installed || !qobject_cast<QGuiApplication*>(QCoreApplication::instance()))
        return;
    installed = true;
    registerEmbeddedFonts();
    // Fonts made by name elsewhere (QFont("Arial")) find the embedded faces too.
    for (const char* classic : {"Arial", "Arial Narrow", "Arial Black", "MS Sans Serif"}) {
        const QString name = QLatin1String(classic);
        QFont::insertSubstitution(name, embeddedFamily(name));
    }
    QFont standard = QGuiApplication::font();
    standard.setFamilies({kDejaVu});
    QGuiApplication::setFont(standard);
}

QFont pixelFont(const QString& family, int pixelSize, bool bold, bool italic) {
    QFont font(embeddedFamily(family));
    font.setPixelSize(pixelSize);
    font.setItalic(italic);
    if (family.compare(QLatin1String("Arial Black"), Qt::CaseInsensitive) == 0)
        font.setWeight(QFont::Black);
    else if (bold)
        font.setWeight(QFont::Bold);
    font.setStyleStrategy(QFont::PreferAntialias);
    return font;
}

}  // namespace norak
