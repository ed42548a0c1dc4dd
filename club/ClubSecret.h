#pragma once

#include <QString>
#include <optional>

#include "club/ClubServer.h"

namespace norak {

// The club server's password, kept by the desktop's secret service (libsecret: GNOME Keyring,
// KWallet's Secret Service, KeePassXC...) under the server's address, database and user; never
// in a file of the program's. Where no secret service answers, nothing is kept and the password
// is asked for each time. The calls block on D-Bus: from the window thread they take a moment.
namespace ClubSecret {

// Whether a secret service answers on the session bus (starting it when it can be started).
bool available();
// The kept password of that server and user; nullopt when none is kept or no service answers.
std::optional<QString> lookup(const ClubServerSettings& server);
// Keeps the password. False (and `error`) where no secret service answers.
bool store(const ClubServerSettings& server, const QString& password, QString* error = nullptr);
void forget(const ClubServerSettings& server);

}  // namespace ClubSecret

}  // namespace norak
