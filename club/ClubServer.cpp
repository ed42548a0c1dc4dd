#include "club/ClubServer.h"

#include <QAtomicInt>
#include <QSqlError>
#include <QSqlQuery>
#include <QVariant>

#include "club/ClubSchema.h"

namespace norak {

namespace {

QAtomicInt g_connectionCount;

bool mentions(const QString& text, std::initializer_list<const char*> phrases) {
    for (const char* phrase : phrases) {
        if (text.contains(QLatin1String(phrase), Qt::CaseInsensitive))
            return true;
    }
    return false;
}

QString where(const ClubServerSettings& settings) {
    return QStringLiteral("%1, puerto %2").arg(settings.host).arg(settings.port);
}

}  // namespace

ClubProblem classifyConnectionError(const ClubServerSettings& settings, const QString& error) {
    using Kind = ClubProblem::Kind;
    if (mentions(error, {"password authentication failed", "autentificación password falló",
                         "autenticación password falló", "no password supplied",
                         "no se entregó una contraseña", "fe_sendauth"})) {
        return {Kind::WrongPassword,
                QStringLiteral("El servidor del club rechaza la contraseña del usuario «%1».\n"
                               "Compruebe el usuario y la contraseña.")
                    .arg(settings.user)};
    }
    if (mentions(error, {"does not exist", "no existe"})) {
        return {Kind::Refused,
                QStringLiteral("El servidor del club (%1) no tiene la base de datos «%2» o el usuario «%3».\n"
                               "Compruebe los nombres con quien administra el servidor.")
                    .arg(where(settings), settings.database, settings.user)};
    }
    if (mentions(error, {"pg_hba.conf", "permission denied", "permiso denegado", "too many connections",
                         "demasiados clientes", "sorry, too many clients"})) {
        return {Kind::Refused,
                QStringLiteral("El servidor del club (%1) rechaza la conexión del usuario «%2» a «%3».\n"
                               "Quien administra el servidor debe permitirla.\n(%4)")
                    .arg(where(settings), settings.user, settings.database, error.trimmed())};
    }
    if (mentions(error,
                 {"connection refused", "conexión rehusada", "could not translate host name",
                  "no se pudo traducir el nombre", "timeout expired", "tiempo de espera", "no route to host",
                  "network is unreachable", "could not connect", "no se pudo conectar"})) {
        return {
            Kind::Unreachable,
            QStringLiteral("No se puede llegar al servidor del club (%1).\n"
                           "Compruebe la red, la dirección y el puerto, y que el servidor esté en marcha.")
                .arg(where(settings))};
    }
    return {Kind::Failed, QStringLiteral("No se puede conectar con el servidor del club (%1): %2")
                              .arg(where(settings), error.trimmed())};
}

ClubConnection::ClubConnection()
    : m_connection(QStringLiteral("norak-club-%1").arg(g_connectionCount.fetchAndAddRelaxed(1))) {}

ClubConnection::~ClubConnection() {
    close();
}

QSqlDatabase ClubConnection::db() const {
    return QSqlDatabase::database(m_connection, false);
}

void ClubConnection::close() {
    if (!QSqlDatabase::contains(m_connection))
        return;
    {
        QSqlDatabase database = db();
        database.close();
    }
    QSqlDatabase::removeDatabase(m_connection);
    m_club.clear();
}

ClubProblem ClubConnection::problemOf(const QString& error) const {
    using Kind = ClubProblem::Kind;
    QSqlQuery probe(db());
    if (!db().isOpen() || !probe.exec(QStringLiteral("SELECT 1"))) {
        return {
            Kind::Interrupted,
            QStringLiteral("Se ha cortado la conexión con el servidor del club (%1) durante la "
                           "sincronización.\nNo se ha perdido nada: la próxima sincronización la completa.")
                .arg(where(m_settings))};
    }
    return {Kind::Failed,
            QStringLiteral("El servidor del club no acepta los datos: %1").arg(error.trimmed())};
}

ClubProblem ClubConnection::open(const ClubServerSettings& settings, bool prepare) {
    using Kind = ClubProblem::Kind;
    close();
    m_settings = settings;
    if (!QSqlDatabase::isDriverAvailable(QStringLiteral("QPSQL"))) {
        return {Kind::Failed,
                QStringLiteral("Falta el controlador de PostgreSQL de Qt (paquete libqt6sql6-psql).")};
    }
    QSqlDatabase database = QSqlDatabase::addDatabase(QStringLiteral("QPSQL"), m_connection);
    database.setHostName(settings.host);
    database.setPort(settings.port);
    database.setDatabaseName(settings.database);
    database.setUserName(settings.user);
    database.setPassword(settings.password);
    // No password prompt and no password file: what the coach typed, or nothing.
    database.setConnectOptions(QStringLiteral("connect_timeout=%1;application_name=NORAK;passfile=/dev/null")
                                   .arg(settings.connectTimeoutSeconds));
    if (!database.open())
        return classifyConnectionError(settings, database.lastError().text());

    const ClubSchemaState state = inspectClubSchema(database);
    switch (state.kind) {
        case ClubSchemaState::Kind::Failed:
            return problemOf(state.error);
        case ClubSchemaState::Kind::NotNorak:
            return {
                Kind::NotNorak,
                QStringLiteral("La base de datos «%1» del servidor (%2) no es un historial de club de NORAK: "
                               "tiene otras tablas.\nCompruebe el nombre de la base de datos.")
                    .arg(settings.database, where(settings))};
        case ClubSchemaState::Kind::Norak:
            if (state.version > kClubSchemaVersion) {
                return {
                    Kind::NewerSchema,
                    QStringLiteral("La base de datos del club es de una versión más reciente del programa "
                                   "(esquema %1; este programa conoce hasta el %2).\n"
                                   "Actualice el programa en este portátil para sincronizar.")
                        .arg(state.version)
                        .arg(kClubSchemaVersion)};
            }
            break;
        case ClubSchemaState::Kind::Empty:
            break;
    }
    if (prepare && (state.kind == ClubSchemaState::Kind::Empty || state.version < kClubSchemaVersion)) {
        const QString error = upgradeClubSchema(database, state.version);
        if (!error.isEmpty()) {
            if (mentions(error, {"permission denied", "permiso denegado"})) {
                return {Kind::Refused,
                        QStringLiteral(
                            "El usuario «%1» no puede crear las tablas del historial del club en «%2».\n"
                            "Quien administra el servidor puede crearlas con club/sql/club_schema.sql "
                            "o dar al usuario el permiso CREATE.")
                            .arg(settings.user, settings.database)};
            }
            return problemOf(error);
        }
    }
    QSqlQuery query(database);
    if (query.exec(QStringLiteral("SELECT value FROM norak_club WHERE key = 'club'")) && query.next())
        m_club = query.value(0).toString();
    return {};
}

}  // namespace norak
