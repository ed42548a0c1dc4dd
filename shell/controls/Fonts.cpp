#include "shell/controls/Fonts.h"

#include <QStringList>

namespace norak {

void installFontSubstitutions() {
    static bool installed = false;
    if (installed)
        return;
    installed = true;
    const QStringList sans = {QStringLiteral("Liberation Sans"), QStringLiteral("Arimo"),
                              QStringLiteral("DejaVu Sans")};
    QFont::insertSubstitutions(QStringLiteral("Arial"), sans);
    QFont::insertSubstitutions(QStringLiteral("Arial Black"), sans);
    QFont::insertSubstitutions(QStringLiteral("MS Sans Serif"), sans);
}

QFont pixelFont(const QString& family, int pixelSize, bool bold, bool italic) {
    QFont font(family);
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
