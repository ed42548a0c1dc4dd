-- NORAK club history, schema step 1: the tests, players and results every laptop sends, and the
-- tests deleted on a laptop. Run by the program on an empty database, or by club_schema.sql.
-- Every statement ends a line with a semicolon, and no statement holds one elsewhere: the program
-- splits the file there.
--
-- Identities are the laptops' UUIDs. Dates are kept as the laptops write them (text: UTC moments
-- as yyyy-MM-ddTHH:mm:ss.zzzZ, the tests' Start and Stop in local time), so that they come back
-- byte for byte. Every change takes the next number of norak_change (seq), under one lock per
-- transaction, so that a laptop asks for what changed after the last number it received;
-- sent_by is the laptop that wrote the row last, which need not receive it again.

CREATE TABLE norak_club (key TEXT PRIMARY KEY, value TEXT NOT NULL);
INSERT INTO norak_club (key, value) VALUES ('application', 'NORAK');
INSERT INTO norak_club (key, value) VALUES ('club', gen_random_uuid()::text);
INSERT INTO norak_club (key, value) VALUES ('schema', '1');
CREATE SEQUENCE norak_change;

CREATE TABLE players (
    uuid UUID PRIMARY KEY,
    name TEXT NOT NULL,
    name_key TEXT NOT NULL,
    code TEXT NOT NULL DEFAULT '',
    created_at TEXT NOT NULL,
    modified_at TEXT NOT NULL,
    origin UUID NOT NULL,
    renamed_at TEXT,
    merged_into UUID,
    seq BIGINT NOT NULL,
    sent_by UUID NOT NULL
);
CREATE INDEX players_seq ON players (seq);

CREATE TABLE tests (
    uuid UUID PRIMARY KEY,
    edition INTEGER NOT NULL,
    edition_title TEXT NOT NULL,
    period_table_fingerprint TEXT,
    started_at TEXT NOT NULL,
    stopped_at TEXT,
    mode INTEGER,
    start_period INTEGER NOT NULL,
    start_speed_text TEXT NOT NULL,
    warm_up INTEGER,
    sound_output TEXT NOT NULL DEFAULT '',
    signals_given INTEGER,
    lateness_p50_ms BIGINT,
    lateness_p99_ms BIGINT,
    lateness_max_ms BIGINT,
    date_separator TEXT NOT NULL,
    time_separator TEXT NOT NULL,
    table_rows INTEGER NOT NULL,
    source_fingerprint TEXT,
    created_at TEXT NOT NULL,
    modified_at TEXT NOT NULL,
    origin UUID NOT NULL,
    seq BIGINT NOT NULL,
    sent_by UUID NOT NULL
);
CREATE INDEX tests_seq ON tests (seq);
CREATE UNIQUE INDEX tests_source_fingerprint ON tests (source_fingerprint) WHERE source_fingerprint IS NOT NULL;

CREATE TABLE results (
    test_uuid UUID NOT NULL REFERENCES tests (uuid) ON DELETE CASCADE,
    row INTEGER NOT NULL,
    player_uuid UUID REFERENCES players (uuid),
    cells TEXT NOT NULL,
    seconds INTEGER,
    periods INTEGER,
    metres BIGINT,
    speed_kmh DOUBLE PRECISION,
    vo2max DOUBLE PRECISION,
    PRIMARY KEY (test_uuid, row)
);
CREATE INDEX results_player ON results (player_uuid);

CREATE TABLE deleted_tests (
    uuid UUID PRIMARY KEY,
    deleted_at TEXT NOT NULL,
    origin UUID NOT NULL,
    seq BIGINT NOT NULL,
    sent_by UUID NOT NULL
);
CREATE INDEX deleted_tests_seq ON deleted_tests (seq);
