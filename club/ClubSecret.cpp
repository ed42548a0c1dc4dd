#include "club/ClubSecret.h"

// GLib names a struct member "signals"; the project builds with QT_NO_KEYWORDS, so no clash.
#include <libsecret/secret.h>

namespace norak {

namespace {

const SecretSchema* schema() {
    static const SecretSchema kSchema = {"org.norak.ClubServer",
                                         SECRET_SCHEMA_NONE,
                                         {{"host", SECRET_SCHEMA_ATTRIBUTE_STRING},
                                          {"port", SECRET_SCHEMA_ATTRIBUTE_INTEGER},
                                          {"database", SECRET_SCHEMA_ATTRIBUTE_STRING},
                                          {"user", SECRET_SCHEMA_ATTRIBUTE_STRING},
                                          {nullptr, SECRET_SCHEMA_ATTRIBUTE_STRING}},
                                         0,
                                         nullptr,
                                         nullptr,
                                         nullptr,
                                         nullptr,
                                         nullptr,
                                         nullptr,
                                         nullptr};
    return &kSchema;
}

}  // namespace

bool ClubSecret::available() {
    GError* error = nullptr;
    // Opening a session is a call to the service: it starts one that can be started, and fails
    // at once where none answers. The proxy alone is made whether or not anyone answers.
    SecretService* service = secret_service_get_sync(SECRET_SERVICE_OPEN_SESSION, nullptr, &error);
    if (error)
        g_error_free(error);
    if (!service)
        return false;
    g_object_unref(service);
    return true;
}

std::optional<QString> ClubSecret::lookup(const ClubServerSettings& server) {
    GError* error = nullptr;
    const QByteArray host = server.host.toUtf8(), database = server.database.toUtf8(),
                     user = server.user.toUtf8();
    gchar* password =
        secret_password_lookup_sync(schema(), nullptr, &error, "host", host.constData(), "port", server.port,
                                    "database", database.constData(), "user", user.constData(), nullptr);
    if (error)
        g_error_free(error);
    if (!password)
        return std::nullopt;
    const QString text = QString::fromUtf8(password);
    secret_password_free(password);
    return text;
}

bool ClubSecret::store(const ClubServerSettings& server, const QString& password, QString* errorText) {
    GError* error = nullptr;
    const QByteArray host = server.host.toUtf8(), database = server.database.toUtf8(),
                     user = server.user.toUtf8();
    const QByteArray secret = password.toUtf8();
    const QByteArray label =
        QStringLiteral("NORAK: servidor del club %1 (%2)").arg(server.host, server.database).toUtf8();
    const gboolean ok =
        secret_password_store_sync(schema(), SECRET_COLLECTION_DEFAULT, label.constData(), secret.constData(),
                                   nullptr, &error, "host", host.constData(), "port", server.port, "database",
                                   database.constData(), "user", user.constData(), nullptr);
    if (error) {
        if (errorText)
            *errorText = QString::fromUtf8(error->message);
        g_error_free(error);
    }
    return ok;
}

void ClubSecret::forget(const ClubServerSettings& server) {
    GError* error = nullptr;
    const QByteArray host = server.host.toUtf8(), database = server.database.toUtf8(),
                     user = server.user.toUtf8();
    secret_password_clear_sync(schema(), nullptr, &error, "host", host.constData(), "port", server.port,
                               "database", database.constData(), "user", user.constData(), nullptr);
    if (error)
        g_error_free(error);
}

}  // namespace norak
