-- NORAK club history, schema step 2: a result keeps the player's warnings (the legs, as the
-- laptop's history writes them) and whether the warning rule put the player out, as the laptops'
-- histories do since their own step 3. Results sent before this step hold none.
-- Every statement ends a line with a semicolon, and no statement holds one elsewhere.

ALTER TABLE results ADD COLUMN warnings TEXT;
ALTER TABLE results ADD COLUMN out_by_warnings INTEGER NOT NULL DEFAULT 0;
UPDATE norak_club SET value = '2' WHERE key = 'schema';
