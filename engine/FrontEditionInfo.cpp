#include "engine/FrontEditionInfo.h"

#include "engine/Edition.h"
#include "engine/MakerSite.h"

namespace norak {

namespace {

QString productPage(const char* sport) {
    return makerHomePage() + QStringLiteral("/NORAK/norak-") + QLatin1String(sport) + QStringLiteral(".html");
}

QString notice(const QString& edition) {
    return edition + QStringLiteral(" es un producto registrado de Quelmar; todos los derechos reservados.");
}

// Entries are roles and institutions, indented under their heading.
QString entry(const char* text) {
    return QStringLiteral("  ") + QString::fromUtf8(text);
}

}  // namespace

FrontEditionInfo frontEditionInfo(int edition) {
    if (edition < 0 || edition >= kEditionCount)
        edition = kBuildEdition;
    switch (edition) {
        case kEditionProbst:
            return {QStringLiteral("Test de Probst"), QStringLiteral("Quelmar en Fútbol"),
                    QStringLiteral("ListBox_Futbol"), makerHomePage(), QString()};
        case kEditionFutbol:
            return {QStringLiteral("NORAK-Fútbol 2.0"), QStringLiteral("Quelmar en Fútbol"),
                    QStringLiteral("ListBox_Futbol"), productPage("futbol"),
                    notice(QStringLiteral("NORAK-Fútbol"))};
        case kEditionBasket:
            return {QStringLiteral("NORAK-Basket 2.0"), QStringLiteral("Quelmar en Baloncesto"),
                    QStringLiteral("ListBox_Basket"), productPage("basket"),
                    notice(QStringLiteral("NORAK-Basket"))};
        case kEditionFutSal:
            return {QStringLiteral("NORAK-FutSal"), QStringLiteral("Quelmar en Fútbol Sala"),
                    QStringLiteral("ListBox_FutSal"), productPage("futsal"),
                    notice(QStringLiteral("NORAK-FutSal"))};
        case kEditionZevez:
        default:
            return {QStringLiteral("NORAK-Zevez"), QStringLiteral("Quelmar en Voleibol"),
                    QStringLiteral("ListBox_Zevez"), productPage("zevez"),
                    notice(QStringLiteral("NORAK-Zevez"))};
    }
}

QStringList creditsRows(const QString& listName) {
    const QString empty;
    const QString software = entry("Quelmar, departamento de software");
    const QString direction = entry("Dirección científica del proyecto");
    const QString coordination = entry("Coordinación de investigación");
    const QString laboratory = entry("Laboratorio de fisiología del esfuerzo");
    const QString medicine = entry("Servicio de medicina deportiva");
    const QString staff = entry("Cuerpo técnico del club colaborador");
    const QString fitness = entry("Preparación física de los equipos colaboradores");
    const QString faculty = entry("Facultad de Ciencias de la Actividad Física y del Deporte");
    const QString players = entry("Jugadores participantes en el estudio");
    const QString clubs = entry("Clubes que cedieron sus instalaciones");

    if (listName == QLatin1String("ListBox_Futbol")) {
        return {QStringLiteral("DESARROLLO SOFTWARE:"),
                software,
                empty,
                QStringLiteral("INVESTIGADORES PRINCIPALES:"),
                direction,
                coordination,
                empty,
                QStringLiteral("COLABORADORES:"),
                laboratory,
                medicine,
                staff,
                empty,
                QStringLiteral("AGRADECIMIENTOS:"),
                players,
                entry("Federación territorial de fútbol")};
    }
    if (listName == QLatin1String("ListBox_Basket")) {
        return {QStringLiteral("DESARROLLO SOFTWARE:"),
                software,
                empty,
                QStringLiteral("INVESTIGADORES PRINCIPALES:"),
                direction,
                coordination,
                empty,
                QStringLiteral("COLABORADORES:"),
                laboratory,
                medicine,
                staff,
                fitness,
                faculty,
                empty,
                QStringLiteral("AGRADECIMIENTOS:"),
                players,
                clubs,
                entry("Federación territorial de baloncesto")};
    }
    if (listName == QLatin1String("ListBox_FutSal")) {
        return {QStringLiteral("AUTORES:"),
                direction,
                coordination,
                software,
                laboratory,
                medicine,
                staff,
                fitness,
                faculty,
                empty,
                QStringLiteral("AGRADECIMIENTOS:"),
                players,
                clubs,
                entry("Federación territorial de fútbol sala")};
    }
    if (listName == QLatin1String("ListBox_Zevez")) {
        return {QStringLiteral("AUTORES:"),
                direction,
                coordination,
                software,
                laboratory,
                medicine,
                staff,
                fitness,
                faculty,
                entry("Área de análisis estadístico"),
                entry("Área de diseño gráfico"),
                entry("Área técnica de la federación territorial de voleibol"),
                empty,
                QStringLiteral("AGRADECIMIENTOS:"),
                players,
                clubs,
                entry("Escuelas deportivas participantes")};
    }
    return {};
}

}  // namespace norak
