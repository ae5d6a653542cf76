-- Set-up of a PostgreSQL database for the system: run once, by the database's owner,
-- before any table is created (scripts/pg-cluster.sh runs it on the test database).
--
-- Text compares as on the suite's SQL Server: without regard to case (accents still
-- count) and without regard to trailing blanks. The data layer creates text columns
-- with the collation vktext below; VARCHAR(n) / NVARCHAR(n) become BPCHAR (trailing
-- blanks do not count in its comparisons) with a length check named vklen_<column>,
-- and each column keeps its SQL Server type in its comment ("vk:NVARCHAR(40)"), from
-- which the data layer reports types and sizes. PostgreSQL 15 refuses LIKE and
-- substring searches under a nondeterministic collation: the data layer writes them
-- as ILIKE / UPPER under the database's default collation.
CREATE COLLATION IF NOT EXISTS vktext (provider = icu, locale = 'und-u-ks-level2', deterministic = false);

-- Dates written dd/mm/yy are read day first (the data layer sets this per session too).
DO $$
BEGIN
    EXECUTE format('ALTER DATABASE %I SET DateStyle = %L', current_database(), 'ISO, DMY');
END
$$;
