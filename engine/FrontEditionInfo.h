#pragma once

#include <QString>
#include <QStringList>

namespace norak {

// What an edition code selects on the front window.
struct FrontEditionInfo {
    QString title;            // "NORAK-Zevez"
    QString subtitle;         // "Quelmar en Voleibol"
    QString creditsListName;  // ListBox_Futbol, ListBox_Basket, ListBox_FutSal, ListBox_Zevez
    QString pageAddress;      // product page (home page for edition 0), host + path, no scheme
    QString legalNotice;      // one sentence naming the edition; empty for edition 0
};

// The entry of an edition 0..4; any other code gives the build's edition.
FrontEditionInfo frontEditionInfo(int edition);

// The fixed rows of a credits list (section headings, entries, empty separator rows); empty
// for an unknown list name.
QStringList creditsRows(const QString& listName);

// Fixed version information.
inline QString versionText() {
    return QStringLiteral("2.0.1");
}
inline QString editionYearText() {
    return QStringLiteral("2015");
}
inline QString languageText() {
    return QStringLiteral("Español");
}

}  // namespace norak
