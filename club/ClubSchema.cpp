#include "club/ClubSchema.h"

#include <QFile>
#include <QSqlError>
#include <QSqlQuery>
#include <QVariant>

namespace norak {

QStringList clubSchemaStep(int version) {
    QFile file(QStringLiteral(":/club/sql/step_%1.sql").arg(version, 3, 10, QLatin1Char('0')));
    if (!file.open(QIODevice::ReadOnly))
        return {};
    QStringList statements;
    QString current;
    for (const QString& line : QString::fromUtf8(file.readAll()).split(QLatin1Char('\n'))) {
        const QString trimmed = line.trimmed();
        if (trimmed.isEmpty() || trimmed.startsWith(QStringLiteral("--")))
            continue;
        current += line + QLatin1Char('\n');
        if (trimmed.endsWith(QLatin1Char(';'))) {
            current = current.trimmed();
            current.chop(1);
            statements << current;
            current.clear();
        }
    }
    return statements;
}

ClubSchemaState inspectClubSchema(QSqlDatabase& db) {
    QSqlQuery query(db);
    if (!query.exec(QStringLiteral(
            "SELECT count(*) FROM pg_catalog.pg_tables WHERE schemaname = current_schema()")) ||
        !query.next())
        return {ClubSchemaState::Kind::Failed, 0, query.lastError().text()};
    if (query.value(0).toInt() == 0)
        return {ClubSchemaState::Kind::Empty, 0, QString()};
    if (!query.exec(QStringLiteral("SELECT to_regclass('norak_club') IS NOT NULL")) || !query.next())
        return {ClubSchemaState::Kind::Failed, 0, query.lastError().text()};
    if (!query.value(0).toBool())
        return {ClubSchemaState::Kind::NotNorak, 0, QString()};
    if (!query.exec(QStringLiteral("SELECT (SELECT value FROM norak_club WHERE key = 'application'),"
                                   " (SELECT value FROM norak_club WHERE key = 'schema')")) ||
        !query.next())
        return {ClubSchemaState::Kind::Failed, 0, query.lastError().text()};
    bool number = false;
    const int version = query.value(1).toString().toInt(&number);
    if (query.value(0).toString() != QStringLiteral("NORAK") || !number || version < 1)
        return {ClubSchemaState::Kind::NotNorak, 0, QString()};
    return {ClubSchemaState::Kind::Norak, version, QString()};
}

QString upgradeClubSchema(QSqlDatabase& db, int fromVersion) {
    for (int version = fromVersion + 1; version <= kClubSchemaVersion; ++version) {
        const QStringList statements = clubSchemaStep(version);
        if (statements.isEmpty())
            return QStringLiteral("step %1 of the schema is missing").arg(version);
        if (!db.transaction())
            return db.lastError().text();
        QSqlQuery query(db);
        for (const QString& statement : statements) {
            if (!query.exec(statement)) {
                const QString error = query.lastError().text();
                query.finish();
                db.rollback();
                return error;
            }
        }
        query.finish();
        if (!db.commit()) {
            const QString error = db.lastError().text();
            db.rollback();
            return error;
        }
    }
    return {};
}

}  // namespace norak
