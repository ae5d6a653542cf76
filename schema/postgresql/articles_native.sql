-- PostgreSQL's own part of the article form's additions, run after articles.sql. The
-- article view reads one table and takes writes by itself; the price view made again there
-- gets its INSTEAD OF triggers back, with the new columns, and the list-header view gets
-- its own (below).

CREATE OR REPLACE FUNCTION vk_v_ma_precios_ins() RETURNS trigger LANGUAGE plpgsql AS $$
BEGIN
    INSERT INTO MA_PRECIOS (
        IdLista, IdArticulo, IdArticuloProveedor, IdUnidad, Precio, Costo, Dto1, FechaVigencia,
        DesdeTrigger, Nombre, ConIVA, Precio1, Precio2, Precio3, Precio4, Precio5,
        IdMoneda, DescripcionArticulo, Rubro, RECEPCION, TRANSMISION)
    VALUES (
        NEW.IdLista, NEW.IdArticulo, NEW.IdArticuloProveedor, NEW.IdUnidad,
        COALESCE(NEW.Precio, 0), NEW.Costo, NEW.Dto1, NEW.FechaVigencia,
        COALESCE(NEW.DesdeTrigger, 0), NEW.Nombre, COALESCE(NEW.ConIVA, 0),
        NEW.Precio1, NEW.Precio2, NEW.Precio3, NEW.Precio4, NEW.Precio5, NEW.IdMoneda,
        NEW.DescripcionArticulo, NEW.Rubro, NEW.RECEPCION, COALESCE(NEW.TRANSMISION, 0));
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
        Nombre = NEW.Nombre, ConIVA = NEW.ConIVA,
        Precio1 = NEW.Precio1, Precio2 = NEW.Precio2, Precio3 = NEW.Precio3,
        Precio4 = NEW.Precio4, Precio5 = NEW.Precio5, IdMoneda = NEW.IdMoneda,
        DescripcionArticulo = NEW.DescripcionArticulo, Rubro = NEW.Rubro,
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

CREATE TRIGGER v_ma_precios_ins INSTEAD OF INSERT ON V_MA_PRECIOS
FOR EACH ROW EXECUTE FUNCTION vk_v_ma_precios_ins()
GO

CREATE TRIGGER v_ma_precios_upd INSTEAD OF UPDATE ON V_MA_PRECIOS
FOR EACH ROW EXECUTE FUNCTION vk_v_ma_precios_upd()
GO

CREATE TRIGGER v_ma_precios_del INSTEAD OF DELETE ON V_MA_PRECIOS
FOR EACH ROW EXECUTE FUNCTION vk_v_ma_precios_del()
GO

-- The list-header view names Descripcion twice (the second time as Nombre), which
-- PostgreSQL cannot write through by itself: its writes go to MA_PRECIOSCAB here, Nombre
-- standing in for a Descripcion the write does not give.
CREATE OR REPLACE FUNCTION vk_v_ma_precioscab_ins() RETURNS trigger LANGUAGE plpgsql AS $$
BEGIN
    INSERT INTO MA_PRECIOSCAB (
        IdLista, Descripcion, TipoLista, Cuenta, Moneda, FechaVigencia, IncluyeIva, RECEPCION, TRANSMISION)
    VALUES (
        NEW.IdLista, COALESCE(NEW.Descripcion, NEW.Nombre), NEW.TipoLista, NEW.Cuenta, NEW.Moneda,
        NEW.FechaVigencia, COALESCE(NEW.IncluyeIva, 0), NEW.RECEPCION, COALESCE(NEW.TRANSMISION, 0));
    RETURN NEW;
END
$$
GO

CREATE OR REPLACE FUNCTION vk_v_ma_precioscab_upd() RETURNS trigger LANGUAGE plpgsql AS $$
BEGIN
    UPDATE MA_PRECIOSCAB SET
        IdLista = NEW.IdLista, Descripcion = NEW.Descripcion, TipoLista = NEW.TipoLista,
        Cuenta = NEW.Cuenta, Moneda = NEW.Moneda, FechaVigencia = NEW.FechaVigencia,
        IncluyeIva = NEW.IncluyeIva, RECEPCION = NEW.RECEPCION, TRANSMISION = NEW.TRANSMISION
    WHERE IdLista = OLD.IdLista;
    RETURN CASE WHEN FOUND THEN NEW END;
END
$$
GO

CREATE OR REPLACE FUNCTION vk_v_ma_precioscab_del() RETURNS trigger LANGUAGE plpgsql AS $$
BEGIN
    DELETE FROM MA_PRECIOSCAB WHERE IdLista = OLD.IdLista;
    RETURN CASE WHEN FOUND THEN OLD END;
END
$$
GO

CREATE TRIGGER v_ma_precioscab_ins INSTEAD OF INSERT ON V_MA_PRECIOSCAB
FOR EACH ROW EXECUTE FUNCTION vk_v_ma_precioscab_ins()
GO

CREATE TRIGGER v_ma_precioscab_upd INSTEAD OF UPDATE ON V_MA_PRECIOSCAB
FOR EACH ROW EXECUTE FUNCTION vk_v_ma_precioscab_upd()
GO

CREATE TRIGGER v_ma_precioscab_del INSTEAD OF DELETE ON V_MA_PRECIOSCAB
FOR EACH ROW EXECUTE FUNCTION vk_v_ma_precioscab_del()
GO
