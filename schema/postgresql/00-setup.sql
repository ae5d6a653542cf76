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

-- Values written to typed columns go through these conversions (the data layer wraps each
-- value of an INSERT or UPDATE in the one of its column's type), so that what SQL Server
-- stores is stored and what it refuses is refused, with its native number as the error's
-- SQLSTATE ('V' and four digits: V0245 is SQL Server's 245).
CREATE OR REPLACE FUNCTION vk_fail(code text, message text, col text) RETURNS void
LANGUAGE plpgsql IMMUTABLE AS $$
BEGIN
    RAISE EXCEPTION USING ERRCODE = code,
        MESSAGE = message || CASE WHEN col IS NULL THEN '' ELSE format(' (columna ''%s'')', col) END;
END $$;

-- Whole numbers: text must be a whole number ('' is 0), decimals are cut off.
CREATE OR REPLACE FUNCTION vk_whole(v text, col text, lo numeric, hi numeric, tname text, over text)
RETURNS numeric LANGUAGE plpgsql IMMUTABLE AS $$
DECLARE
    t text COLLATE "C" := btrim(v, E' \t');
    n numeric;
BEGIN
    IF v IS NULL THEN RETURN NULL; END IF;
    IF t = '' THEN RETURN 0; END IF;
    IF t !~ '^[+-]?[0-9]+$' THEN
        IF tname = 'bigint' THEN
            PERFORM vk_fail('V8114', format('Error al convertir el tipo de datos varchar a bigint (valor ''%s'').', v), col);
        END IF;
        PERFORM vk_fail('V0245', format('Error de conversión al convertir el valor varchar ''%s'' al tipo de datos %s.', v, tname), col);
    END IF;
    n := t::numeric;
    IF n < lo OR n > hi THEN
        PERFORM vk_fail(over, format('La conversión del valor varchar ''%s'' desbordó una columna %s.', v, tname), col);
    END IF;
    RETURN n;
END $$;

CREATE OR REPLACE FUNCTION vk_whole(v numeric, col text, lo numeric, hi numeric, tname text, over text)
RETURNS numeric LANGUAGE plpgsql IMMUTABLE AS $$
DECLARE
    n numeric := trunc(v);
BEGIN
    IF n < lo OR n > hi THEN
        IF over = 'V0220' THEN
            PERFORM vk_fail(over, format('Error de desbordamiento aritmético para el tipo de datos %s, valor = %s.', tname, v), col);
        END IF;
        PERFORM vk_fail('V8115', format('Error de desbordamiento aritmético al convertir expression al tipo de datos %s (valor %s).', tname, v), col);
    END IF;
    RETURN n;
END $$;

DO $$
DECLARE
    t record;
    source text;
BEGIN
    FOR t IN SELECT * FROM (VALUES ('vk_int', 'integer', -2147483648::numeric, 2147483647::numeric, 'int', 'V0248', 'V8115'),
                                   ('vk_smallint', 'smallint', -32768, 32767, 'smallint', 'V0244', 'V0220'),
                                   ('vk_tinyint', 'smallint', 0, 255, 'tinyint', 'V0244', 'V0220'),
                                   ('vk_bigint', 'bigint', -9223372036854775808, 9223372036854775807, 'bigint', 'V8114', 'V8115'))
                 AS x(name, result, lo, hi, tname, textover, numover) LOOP
        EXECUTE format('CREATE OR REPLACE FUNCTION %I(v text, col text) RETURNS %s LANGUAGE sql IMMUTABLE '
                       'AS $f$ SELECT vk_whole(v, col, %s, %s, %L, %L)::%s $f$',
                       t.name, t.result, t.lo, t.hi, t.tname, t.textover, t.result);
        FOREACH source IN ARRAY ARRAY['integer', 'bigint'] LOOP
            EXECUTE format('CREATE OR REPLACE FUNCTION %I(v %s, col text) RETURNS %s LANGUAGE sql IMMUTABLE '
                           'AS $f$ SELECT vk_whole(v::numeric, col, %s, %s, %L, %L)::%s $f$',
                           t.name, source, t.result, t.lo, t.hi, t.tname, t.numover, t.result);
        END LOOP;
        FOREACH source IN ARRAY ARRAY['numeric', 'double precision'] LOOP
            EXECUTE format('CREATE OR REPLACE FUNCTION %I(v %s, col text) RETURNS %s LANGUAGE sql IMMUTABLE '
                           'AS $f$ SELECT vk_whole(v::numeric, col, %s, %s, %L, %L)::%s $f$',
                           t.name, source, t.result, t.lo, t.hi, t.tname, 'V8115', t.result);
        END LOOP;
    END LOOP;
END $$;

-- bit: any non-zero number is 1; 'true' and 'false' as words.
CREATE OR REPLACE FUNCTION vk_bit(v numeric, col text) RETURNS smallint
LANGUAGE sql IMMUTABLE AS $$ SELECT CASE WHEN v IS NULL THEN NULL WHEN v <> 0 THEN 1 ELSE 0 END::smallint $$;
CREATE OR REPLACE FUNCTION vk_bit(v double precision, col text) RETURNS smallint
LANGUAGE sql IMMUTABLE AS $$ SELECT CASE WHEN v IS NULL THEN NULL WHEN v <> 0 THEN 1 ELSE 0 END::smallint $$;
CREATE OR REPLACE FUNCTION vk_bit(v integer, col text) RETURNS smallint
LANGUAGE sql IMMUTABLE AS $$ SELECT vk_bit(v::numeric, col) $$;
CREATE OR REPLACE FUNCTION vk_bit(v bigint, col text) RETURNS smallint
LANGUAGE sql IMMUTABLE AS $$ SELECT vk_bit(v::numeric, col) $$;
CREATE OR REPLACE FUNCTION vk_bit(v text, col text) RETURNS smallint
LANGUAGE plpgsql IMMUTABLE AS $$
DECLARE
    t text COLLATE "C" := lower(btrim(v, E' \t'));
BEGIN
    IF v IS NULL THEN RETURN NULL; END IF;
    IF t = 'true' THEN RETURN 1; END IF;
    IF t = 'false' OR t = '' THEN RETURN 0; END IF;
    IF t !~ '^[+-]?[0-9]+$' THEN
        PERFORM vk_fail('V0245', format('Error de conversión al convertir el valor varchar ''%s'' al tipo de datos bit.', v), col);
    END IF;
    RETURN CASE WHEN t::numeric <> 0 THEN 1 ELSE 0 END;
END $$;

-- float and real: text must be a number ('' is 0).
CREATE OR REPLACE FUNCTION vk_float(v text, col text) RETURNS double precision
LANGUAGE plpgsql IMMUTABLE AS $$
DECLARE
    t text COLLATE "C" := btrim(v, E' \t');
BEGIN
    IF v IS NULL THEN RETURN NULL; END IF;
    IF t = '' THEN RETURN 0; END IF;
    IF t !~ '^[+-]?([0-9]+\.?[0-9]*|\.[0-9]+)([eE][+-]?[0-9]+)?$' THEN
        PERFORM vk_fail('V8114', format('Error al convertir el tipo de datos varchar a float (valor ''%s'').', v), col);
    END IF;
    RETURN t::double precision;
END $$;
CREATE OR REPLACE FUNCTION vk_float(v double precision, col text) RETURNS double precision
LANGUAGE sql IMMUTABLE AS $$ SELECT v $$;
CREATE OR REPLACE FUNCTION vk_float(v numeric, col text) RETURNS double precision
LANGUAGE sql IMMUTABLE AS $$ SELECT v::double precision $$;
CREATE OR REPLACE FUNCTION vk_real(v text, col text) RETURNS real
LANGUAGE sql IMMUTABLE AS $$ SELECT vk_float(v, col)::real $$;
CREATE OR REPLACE FUNCTION vk_real(v double precision, col text) RETURNS real
LANGUAGE sql IMMUTABLE AS $$ SELECT v::real $$;
CREATE OR REPLACE FUNCTION vk_real(v numeric, col text) RETURNS real
LANGUAGE sql IMMUTABLE AS $$ SELECT v::real $$;

-- decimal(p,s), money, smallmoney: rounded to the scale, half away from zero.
CREATE OR REPLACE FUNCTION vk_decimal(v numeric, p integer, s integer, col text) RETURNS numeric
LANGUAGE plpgsql IMMUTABLE AS $$
DECLARE
    n numeric := round(v, s);
BEGIN
    IF abs(n) >= 10::numeric ^ (p - s) THEN
        PERFORM vk_fail('V8115', format('Error de desbordamiento aritmético al convertir numeric al tipo de datos numeric (valor %s).', v), col);
    END IF;
    RETURN n;
END $$;
CREATE OR REPLACE FUNCTION vk_decimal(v double precision, p integer, s integer, col text) RETURNS numeric
LANGUAGE sql IMMUTABLE AS $$ SELECT vk_decimal(v::numeric, p, s, col) $$;
-- Whole numbers keep every digit (through a double they would keep 15).
CREATE OR REPLACE FUNCTION vk_decimal(v bigint, p integer, s integer, col text) RETURNS numeric
LANGUAGE sql IMMUTABLE AS $$ SELECT vk_decimal(v::numeric, p, s, col) $$;
CREATE OR REPLACE FUNCTION vk_decimal(v integer, p integer, s integer, col text) RETURNS numeric
LANGUAGE sql IMMUTABLE AS $$ SELECT vk_decimal(v::numeric, p, s, col) $$;
CREATE OR REPLACE FUNCTION vk_decimal(v text, p integer, s integer, col text) RETURNS numeric
LANGUAGE plpgsql IMMUTABLE AS $$
DECLARE
    t text COLLATE "C" := btrim(v, E' \t');
BEGIN
    IF v IS NULL THEN RETURN NULL; END IF;
    IF t !~ '^[+-]?([0-9]+\.?[0-9]*|\.[0-9]+)$' THEN
        PERFORM vk_fail('V8114', format('Error al convertir el tipo de datos varchar a numeric (valor ''%s'').', v), col);
    END IF;
    RETURN vk_decimal(t::numeric, p, s, col);
END $$;

-- money and smallmoney hold what SQL Server's do: from lo to hi at four decimals, exactly.
CREATE OR REPLACE FUNCTION vk_moneyof(v numeric, col text, lo numeric, hi numeric, tname text) RETURNS numeric
LANGUAGE plpgsql IMMUTABLE AS $$
DECLARE
    n numeric := round(v, 4);
BEGIN
    IF n > hi OR n < lo THEN
        PERFORM vk_fail('V8115', format('Error de desbordamiento aritmético al convertir expression al tipo de datos %s (valor %s).', tname, v), col);
    END IF;
    RETURN n;
END $$;
CREATE OR REPLACE FUNCTION vk_moneytext(v text, col text, lo numeric, hi numeric, tname text) RETURNS numeric
LANGUAGE plpgsql IMMUTABLE AS $$
DECLARE
    t text COLLATE "C" := btrim(v, E' \t');
BEGIN
    IF v IS NULL THEN RETURN NULL; END IF;
    IF t = '' THEN RETURN 0; END IF;
    IF t !~ '^[+-]?([0-9]+\.?[0-9]*|\.[0-9]+)$' THEN
        PERFORM vk_fail('V0235', format('No se puede convertir un valor char a money. El valor char tiene una sintaxis incorrecta (valor ''%s'').', v), col);
    END IF;
    RETURN vk_moneyof(t::numeric, col, lo, hi, tname);
END $$;
DO $$
DECLARE
    t record;
BEGIN
    FOR t IN SELECT * FROM (VALUES ('vk_money', -922337203685477.5808::numeric, 922337203685477.5807::numeric, 'money'),
                                   ('vk_smallmoney', -214748.3648, 214748.3647, 'smallmoney')) AS x(name, lo, hi, tname) LOOP
        EXECUTE format('CREATE OR REPLACE FUNCTION %I(v numeric, col text) RETURNS numeric LANGUAGE sql IMMUTABLE '
                       'AS $f$ SELECT vk_moneyof(v, col, %s, %s, %L) $f$', t.name, t.lo, t.hi, t.tname);
        EXECUTE format('CREATE OR REPLACE FUNCTION %I(v double precision, col text) RETURNS numeric LANGUAGE sql '
                       'IMMUTABLE AS $f$ SELECT vk_moneyof(v::numeric, col, %s, %s, %L) $f$', t.name, t.lo, t.hi, t.tname);
        EXECUTE format('CREATE OR REPLACE FUNCTION %I(v text, col text) RETURNS numeric LANGUAGE sql IMMUTABLE '
                       'AS $f$ SELECT vk_moneytext(v, col, %s, %s, %L) $f$', t.name, t.lo, t.hi, t.tname);
        EXECUTE format('CREATE OR REPLACE FUNCTION %I(v bigint, col text) RETURNS numeric LANGUAGE sql IMMUTABLE '
                       'AS $f$ SELECT vk_moneyof(v::numeric, col, %s, %s, %L) $f$', t.name, t.lo, t.hi, t.tname);
        EXECUTE format('CREATE OR REPLACE FUNCTION %I(v integer, col text) RETURNS numeric LANGUAGE sql IMMUTABLE '
                       'AS $f$ SELECT vk_moneyof(v::numeric, col, %s, %s, %L) $f$', t.name, t.lo, t.hi, t.tname);
    END LOOP;
END $$;

-- Dates: the forms SQL Server reads day first ('yyyymmdd', 'yyyy-mm-dd', 'dd/mm/yyyy',
-- 'dd/mm/yy', each with an optional time; a time alone is on 1900-01-01; '' is 1900-01-01;
-- two-digit years below 50 are 20yy), and numbers as days from 1900-01-01.
CREATE OR REPLACE FUNCTION vk_datetext(v text, col text, lo date, hi date, tname text) RETURNS timestamp(3)
LANGUAGE plpgsql IMMUTABLE AS $$
DECLARE
    t text COLLATE "C" := btrim(v, E' \t');
    m text[];
    y integer;
    d date;
    tm interval := '0'::interval;
    rest text;
BEGIN
    IF v IS NULL THEN RETURN NULL; END IF;
    IF t = '' THEN RETURN '1900-01-01'; END IF;
    m := regexp_match(t, '^([0-9]{1,2}):([0-9]{2})(:([0-9]{2})(\.([0-9]+))?)?$');
    IF m IS NOT NULL THEN
        d := '1900-01-01';
        rest := t;
    ELSE
        m := regexp_match(t, '^([0-9]{4})([0-9]{2})([0-9]{2})([ T](.*))?$');
        IF m IS NULL THEN m := regexp_match(t, '^([0-9]{4})([-/.])([0-9]{1,2})\2([0-9]{1,2})([ T](.*))?$');
            IF m IS NOT NULL THEN m := ARRAY[m[1], m[3], m[4], m[5], m[6]]; END IF;
        END IF;
        IF m IS NULL THEN
            m := regexp_match(t, '^([0-9]{1,2})([-/.])([0-9]{1,2})\2([0-9]{4}|[0-9]{2})([ T](.*))?$');
            IF m IS NOT NULL THEN
                y := m[4]::integer;
                IF length(m[4]) = 2 THEN y := CASE WHEN y < 50 THEN 2000 + y ELSE 1900 + y END; END IF;
                m := ARRAY[y::text, m[3], m[1], m[5], m[6]];
            END IF;
        END IF;
        IF m IS NULL THEN
            PERFORM vk_fail('V0241', format('Error de conversión al convertir una fecha u hora a partir de una cadena de caracteres (valor ''%s'').', v), col);
        END IF;
        BEGIN
            d := make_date(m[1]::integer, m[2]::integer, m[3]::integer);
        EXCEPTION WHEN others THEN
            PERFORM vk_fail('V0241', format('Error de conversión al convertir una fecha u hora a partir de una cadena de caracteres (valor ''%s'').', v), col);
        END;
        rest := btrim(coalesce(m[5], ''));
    END IF;
    IF rest <> '' THEN
        m := regexp_match(rest, '^([0-9]{1,2}):([0-9]{2})(:([0-9]{2})(\.([0-9]+))?)?$');
        IF m IS NULL OR m[1]::integer > 23 OR m[2]::integer > 59 OR coalesce(m[4], '0')::integer > 59 THEN
            PERFORM vk_fail('V0241', format('Error de conversión al convertir una fecha u hora a partir de una cadena de caracteres (valor ''%s'').', v), col);
        END IF;
        tm := make_interval(hours => m[1]::integer, mins => m[2]::integer,
                            secs => (coalesce(m[4], '0') || '.' || rpad(left(coalesce(m[6], '0'), 3), 3, '0'))::numeric);
    END IF;
    IF d < lo OR d > hi THEN
        PERFORM vk_fail('V0242', format('La conversión del tipo de datos varchar en %s produjo un valor fuera de intervalo (valor ''%s'').', tname, v), col);
    END IF;
    RETURN d + tm;
END $$;

CREATE OR REPLACE FUNCTION vk_datenum(v double precision, col text, lo date, hi date, tname text) RETURNS timestamp(3)
LANGUAGE plpgsql IMMUTABLE AS $$
DECLARE
    r timestamp;
BEGIN
    IF v IS NULL THEN RETURN NULL; END IF;
    IF abs(v) < 4e6 THEN
        r := '1900-01-01'::timestamp + make_interval(days => floor(v)::integer)
             + make_interval(secs => round(((v - floor(v)) * 86400)::numeric, 3));
    END IF;
    IF r IS NULL OR r::date < lo OR r::date > hi THEN
        PERFORM vk_fail('V8115', format('Error de desbordamiento aritmético al convertir expression al tipo de datos %s (valor %s).', tname, v), col);
    END IF;
    RETURN r;
END $$;

-- A date or time bound as such, within the range of the column's type (242 otherwise).
CREATE OR REPLACE FUNCTION vk_daterange(v timestamp, col text, lo date, hi date, tname text, source text)
RETURNS timestamp LANGUAGE plpgsql IMMUTABLE AS $$
BEGIN
    IF v::date < lo OR v::date > hi THEN
        PERFORM vk_fail('V0242', format('La conversión del tipo de datos %s en %s produjo un valor fuera de intervalo (valor ''%s'').', source, tname, v), col);
    END IF;
    RETURN v;
END $$;

-- smalldatetime keeps minutes (seconds from 29.999 round up).
CREATE OR REPLACE FUNCTION vk_tominute(t timestamp) RETURNS timestamp(3)
LANGUAGE sql IMMUTABLE AS $$
    SELECT date_trunc('minute', t) + CASE WHEN extract(second FROM t) >= 29.999 THEN interval '1 minute' ELSE interval '0' END
$$;

DO $$
DECLARE
    t record;
    source text;
BEGIN
    FOR t IN SELECT * FROM (VALUES ('vk_datetime', '1753-01-01'::date, '9999-12-31'::date, 'datetime', 'x'),
                                   ('vk_smalldatetime', '1900-01-01', '2079-06-06', 'smalldatetime', 'vk_tominute(x)'))
                 AS x(name, lo, hi, tname, fit) LOOP
        EXECUTE format('CREATE OR REPLACE FUNCTION %I(v text, col text) RETURNS timestamp(3) LANGUAGE sql IMMUTABLE '
                       'AS $f$ SELECT %s FROM vk_datetext(v, col, %L, %L, %L) AS x $f$', t.name, t.fit, t.lo, t.hi, t.tname);
        FOREACH source IN ARRAY ARRAY['integer', 'bigint', 'numeric', 'double precision'] LOOP
            EXECUTE format('CREATE OR REPLACE FUNCTION %I(v %s, col text) RETURNS timestamp(3) LANGUAGE sql IMMUTABLE '
                           'AS $f$ SELECT %s FROM vk_datenum(v::double precision, col, %L, %L, %L) AS x $f$',
                           t.name, source, t.fit, t.lo, t.hi, t.tname);
        END LOOP;
        EXECUTE format('CREATE OR REPLACE FUNCTION %I(v timestamp, col text) RETURNS timestamp(3) LANGUAGE sql '
                       'IMMUTABLE AS $f$ SELECT %s FROM vk_daterange(v, col, %L, %L, %L, ''datetime2'') AS x $f$',
                       t.name, t.fit, t.lo, t.hi, t.tname);
        EXECUTE format('CREATE OR REPLACE FUNCTION %I(v date, col text) RETURNS timestamp(3) LANGUAGE sql '
                       'IMMUTABLE AS $f$ SELECT vk_daterange(v::timestamp, col, %L, %L, %L, ''date'') $f$',
                       t.name, t.lo, t.hi, t.tname);
    END LOOP;
END $$;
CREATE OR REPLACE FUNCTION vk_date(v text, col text) RETURNS date
LANGUAGE sql IMMUTABLE AS $$ SELECT vk_datetext(v, col, '0001-01-01', '9999-12-31', 'date')::date $$;
CREATE OR REPLACE FUNCTION vk_date(v timestamp, col text) RETURNS date
LANGUAGE sql IMMUTABLE AS $$ SELECT vk_daterange(v, col, '0001-01-01', '9999-12-31', 'date', 'datetime2')::date $$;
CREATE OR REPLACE FUNCTION vk_date(v date, col text) RETURNS date
LANGUAGE sql IMMUTABLE AS $$ SELECT vk_daterange(v::timestamp, col, '0001-01-01', '9999-12-31', 'date', 'date')::date $$;

-- char(n): blanks beyond the width are dropped; other excess is left to the length check.
CREATE OR REPLACE FUNCTION vk_char(v text, w integer, col text) RETURNS text
LANGUAGE sql IMMUTABLE AS $$
    SELECT CASE WHEN length(v) > w AND substr(v, w + 1) COLLATE "C" ~ '^ *$' THEN left(v, w) ELSE v END
$$;
DO $$
DECLARE
    source text;
BEGIN
    FOREACH source IN ARRAY ARRAY['integer', 'bigint', 'numeric', 'double precision', 'timestamp', 'date'] LOOP
        EXECUTE format('CREATE OR REPLACE FUNCTION vk_char(v %s, w integer, col text) RETURNS text LANGUAGE sql '
                       'IMMUTABLE AS $f$ SELECT vk_char(v::text, w, col) $f$', source);
    END LOOP;
END $$;

-- A character column compared with a bare number is read as a number of that number's type.
CREATE OR REPLACE FUNCTION vk_num(v text, n bigint) RETURNS bigint
LANGUAGE plpgsql IMMUTABLE AS $$
DECLARE
    t text COLLATE "C" := btrim(v, E' \t');
BEGIN
    IF v IS NULL THEN RETURN NULL; END IF;
    IF t = '' THEN RETURN 0; END IF;
    IF t !~ '^[+-]?[0-9]{1,18}$' THEN
        PERFORM vk_fail('V0245', format('Error de conversión al convertir el valor varchar ''%s'' al tipo de datos int.', v), NULL);
    END IF;
    RETURN t::bigint;
END $$;
CREATE OR REPLACE FUNCTION vk_num(v text, n integer) RETURNS bigint
LANGUAGE sql IMMUTABLE AS $$ SELECT vk_num(v, n::bigint) $$;
CREATE OR REPLACE FUNCTION vk_num(v text, n numeric) RETURNS numeric
LANGUAGE plpgsql IMMUTABLE AS $$
DECLARE
    t text COLLATE "C" := btrim(v, E' \t');
BEGIN
    IF v IS NULL THEN RETURN NULL; END IF;
    IF t !~ '^[+-]?([0-9]+\.?[0-9]*|\.[0-9]+)$' THEN
        PERFORM vk_fail('V8114', format('Error al convertir el tipo de datos varchar a numeric (valor ''%s'').', v), NULL);
    END IF;
    RETURN t::numeric;
END $$;

-- A LIKE pattern as SQL Server reads it (% any text, _ one character, [abc] [a-f] [^a] one
-- character of a set, no backslash escape, `e` the ESCAPE character or ''; a '[' without its
-- ']' matches nothing) as a regular expression for ~*, with the blanks ending the text
-- allowed. The data layer writes "x LIKE p" as "x ~* (SELECT vk_likere(p))" when p is no
-- literal (it converts a literal itself, the same way).
CREATE OR REPLACE FUNCTION vk_likechar(c text, inset boolean) RETURNS text
LANGUAGE sql IMMUTABLE AS $$
    SELECT CASE WHEN strpos(CASE WHEN inset THEN E'\\^-[]' ELSE E'\\^$.|?*+()[]{}' END, c) > 0
                THEN E'\\' || c ELSE c END
$$;
CREATE OR REPLACE FUNCTION vk_likere(p text, e text DEFAULT '') RETURNS text
LANGUAGE plpgsql IMMUTABLE AS $$
DECLARE
    r text := '^';
    n integer := length(p);
    i integer := 1;
    c text;
    prev text := '';
    members text[];
    negated boolean;
    closed boolean;
    k integer;
    s text;
BEGIN
    IF p IS NULL THEN RETURN NULL; END IF;
    e := coalesce(e, '');
    WHILE i <= n LOOP
        c := substr(p, i, 1);
        i := i + 1;
        IF e <> '' AND c = e AND i <= n THEN
            r := r || vk_likechar(substr(p, i, 1), false);
            i := i + 1;
            prev := 'lit';
        ELSIF c = '%' THEN
            IF prev <> '%' THEN r := r || '.*'; END IF;
            prev := '%';
        ELSIF c = '_' THEN
            r := r || '.';
            prev := '_';
        ELSIF c = '[' THEN
            members := ARRAY[]::text[];
            negated := substr(p, i, 1) = '^' AND i <= n;
            IF negated THEN i := i + 1; END IF;
            closed := false;
            WHILE i <= n LOOP
                c := substr(p, i, 1);
                i := i + 1;
                IF c = ']' THEN closed := true; EXIT; END IF;
                IF e <> '' AND c = e AND i <= n THEN
                    c := substr(p, i, 1);
                    i := i + 1;
                END IF;
                members := members || c;
            END LOOP;
            IF NOT closed THEN RETURN 'a^'; END IF;
            IF cardinality(members) = 0 THEN
                IF NOT negated THEN RETURN 'a^'; END IF;
                r := r || '.';
            ELSE
                s := CASE WHEN negated THEN '[^' ELSE '[' END;
                k := 1;
                WHILE k <= cardinality(members) LOOP
                    IF k + 2 <= cardinality(members) AND members[k + 1] = '-' THEN
                        s := s || vk_likechar(members[k], true) || '-' || vk_likechar(members[k + 2], true);
                        k := k + 3;
                    ELSE
                        s := s || vk_likechar(members[k], true);
                        k := k + 1;
                    END IF;
                END LOOP;
                r := r || s || ']';
            END IF;
            prev := '[';
        ELSE
            r := r || vk_likechar(c, false);
            prev := 'lit';
        END IF;
    END LOOP;
    RETURN r || ' *$';
END $$;
