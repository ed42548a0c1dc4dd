-- The NORAK club server's schema, for an administrator who makes it by hand rather than letting
-- the program make it on an empty database (README, "A club server"):
--
--     psql -h HOST -U OWNER -d DATABASE -f club/sql/club_schema.sql
--
-- It runs the program's own numbered steps (step_NNN.sql, the same files the program carries)
-- in one transaction; a test checks that it names every step, in order.
\set ON_ERROR_STOP on
BEGIN;
\ir step_001.sql
\ir step_002.sql
COMMIT;
