-- PostgreSQL's own part of the suite's database, run after the shared script.
--
-- The article and price-list header views read one table each, so PostgreSQL writes
-- through them by itself. The price view joins the list header for TipoLista: an INSTEAD
-- OF trigger sends its writes to MA_PRECIOS (TipoLista belongs to the header and is left
-- alone; a column with a default takes it when the write gives it no value).

CREATE OR REPLACE FUNCTION vk_v_ma_precios_ins() RETURNS trigger LANGUAGE plpgsql AS $$
BEGIN
    INSERT INTO MA_PRECIOS (
        IdLista, IdArticulo, IdArticuloProveedor, IdUnidad, Precio, Costo, Dto1, FechaVigencia,
        DesdeTrigger, RECEPCION, TRANSMISION)
    VALUES (
        NEW.IdLista, NEW.IdArticulo, NEW.IdArticuloProveedor, NEW.IdUnidad,
        COALESCE(NEW.Precio, 0), NEW.Costo, NEW.Dto1, NEW.FechaVigencia,
        COALESCE(NEW.DesdeTrigger, 0), NEW.RECEPCION, COALESCE(NEW.TRANSMISION, 0));
    RETURN NEW;
END
$$
GO

CREATE OR REPLACE FUNCTION vk_v_ma_precios_upd() RETURNS trigger LANGUAGE plpgsql AS $$
BEGIN
    UPDATE MA_PRECIOS SET
        IdLista = NEW.IdLista, IdArticulo = NEW.IdArticulo,
        IdArticuloProveedor = NEW.IdArticuloProveedor, IdUnidad = NEW.IdUnidad,
        Precio = NEW.Precio, Costo = NEW.Costo, Dto1 = NEW.Dto1,
        FechaVigencia = NEW.FechaVigencia, DesdeTrigger = NEW.DesdeTrigger,
        RECEPCION = NEW.RECEPCION, TRANSMISION = NEW.TRANSMISION
    WHERE IdLista = OLD.IdLista AND IdArticulo = OLD.IdArticulo;
    RETURN CASE WHEN FOUND THEN NEW END;
END
$$
GO

CREATE OR REPLACE FUNCTION vk_v_ma_precios_del() RETURNS trigger LANGUAGE plpgsql AS $$
BEGIN
    DELETE FROM MA_PRECIOS WHERE IdLista = OLD.IdLista AND IdArticulo = OLD.IdArticulo;
    RETURN CASE WHEN FOUND THEN OLD END;
END
$$
GO

-- One trigger per kind of write: the statements stay plain for the data layer's reader.
CREATE TRIGGER v_ma_precios_ins INSTEAD OF INSERT ON V_MA_PRECIOS
FOR EACH ROW EXECUTE FUNCTION vk_v_ma_precios_ins()
GO

CREATE TRIGGER v_ma_precios_upd INSTEAD OF UPDATE ON V_MA_PRECIOS
FOR EACH ROW EXECUTE FUNCTION vk_v_ma_precios_upd()
GO

CREATE TRIGGER v_ma_precios_del INSTEAD OF DELETE ON V_MA_PRECIOS
FOR EACH ROW EXECUTE FUNCTION vk_v_ma_precios_del()
GO

-- The fiscal calendar: every missing day from DESDE to HASTA (dd/mm/yyyy).
CREATE OR REPLACE PROCEDURE VK_CREACALENDARIO(desde varchar, hasta varchar) LANGUAGE plpgsql AS $$
BEGIN
    INSERT INTO TA_CALENDARIO (FECHA, PERIODO, MES_OPERATIVO, HABIL)
    SELECT g.d, to_char(g.d, 'YYYY'), CAST(EXTRACT(MONTH FROM g.d) AS int), 1
    FROM generate_series(to_date(desde, 'DD/MM/YYYY'), to_date(hasta, 'DD/MM/YYYY'), interval '1 day') AS g(d)
    WHERE NOT EXISTS (SELECT 1 FROM TA_CALENDARIO c WHERE c.FECHA = g.d);
END
$$
GO
