-- SQL Server's own part of the article form's additions, run after articles.sql: the price
-- view made again there gets its INSTEAD OF triggers back, with the new columns (the list
-- type belongs to the header and is left alone).

IF OBJECT_ID('V_MA_PRECIOS_INS') IS NOT NULL DROP TRIGGER V_MA_PRECIOS_INS
GO
CREATE TRIGGER V_MA_PRECIOS_INS ON V_MA_PRECIOS INSTEAD OF INSERT AS
BEGIN
    INSERT INTO MA_PRECIOS (
        IdLista, IdArticulo, IdArticuloProveedor, IdUnidad, Precio, Costo, Dto1,
        FechaVigencia, DesdeTrigger, Nombre, ConIVA, Precio1, Precio2, Precio3,
        Precio4, Precio5, IdMoneda, DescripcionArticulo, Rubro, RECEPCION, TRANSMISION)
    SELECT
        i.IdLista, i.IdArticulo, i.IdArticuloProveedor, i.IdUnidad, ISNULL(i.Precio, 0),
        i.Costo, i.Dto1, i.FechaVigencia, ISNULL(i.DesdeTrigger, 0), i.Nombre,
        ISNULL(i.ConIVA, 0), i.Precio1, i.Precio2, i.Precio3, i.Precio4, i.Precio5,
        i.IdMoneda, i.DescripcionArticulo, i.Rubro, i.RECEPCION, ISNULL(i.TRANSMISION, 0)
    FROM inserted i
END
GO

IF OBJECT_ID('V_MA_PRECIOS_UPD') IS NOT NULL DROP TRIGGER V_MA_PRECIOS_UPD
GO
CREATE TRIGGER V_MA_PRECIOS_UPD ON V_MA_PRECIOS INSTEAD OF UPDATE AS
BEGIN
    UPDATE p SET
        IdArticuloProveedor = i.IdArticuloProveedor, IdUnidad = i.IdUnidad,
        Precio = i.Precio, Costo = i.Costo, Dto1 = i.Dto1, FechaVigencia = i.FechaVigencia,
        DesdeTrigger = i.DesdeTrigger, Nombre = i.Nombre,
        ConIVA = i.ConIVA, Precio1 = i.Precio1, Precio2 = i.Precio2, Precio3 = i.Precio3,
        Precio4 = i.Precio4, Precio5 = i.Precio5, IdMoneda = i.IdMoneda,
        DescripcionArticulo = i.DescripcionArticulo, Rubro = i.Rubro,
        RECEPCION = i.RECEPCION, TRANSMISION = i.TRANSMISION
    FROM MA_PRECIOS p INNER JOIN inserted i ON p.IdLista = i.IdLista AND p.IdArticulo = i.IdArticulo
END
GO

IF OBJECT_ID('V_MA_PRECIOS_DEL') IS NOT NULL DROP TRIGGER V_MA_PRECIOS_DEL
GO
CREATE TRIGGER V_MA_PRECIOS_DEL ON V_MA_PRECIOS INSTEAD OF DELETE AS
BEGIN
    DELETE p FROM MA_PRECIOS p INNER JOIN deleted d ON p.IdLista = d.IdLista AND p.IdArticulo = d.IdArticulo
END
GO

-- The list-header view names Descripcion twice (the second time as Nombre): its writes go
-- to MA_PRECIOSCAB here, Nombre standing in for a Descripcion the write does not give.
IF OBJECT_ID('V_MA_PRECIOSCAB_INS') IS NOT NULL DROP TRIGGER V_MA_PRECIOSCAB_INS
GO
CREATE TRIGGER V_MA_PRECIOSCAB_INS ON V_MA_PRECIOSCAB INSTEAD OF INSERT AS
BEGIN
    INSERT INTO MA_PRECIOSCAB (
        IdLista, Descripcion, TipoLista, Cuenta, Moneda, FechaVigencia, IncluyeIva, RECEPCION, TRANSMISION)
    SELECT
        i.IdLista, ISNULL(i.Descripcion, i.Nombre), i.TipoLista, i.Cuenta, i.Moneda, i.FechaVigencia,
        ISNULL(i.IncluyeIva, 0), i.RECEPCION, ISNULL(i.TRANSMISION, 0)
    FROM inserted i
END
GO

IF OBJECT_ID('V_MA_PRECIOSCAB_UPD') IS NOT NULL DROP TRIGGER V_MA_PRECIOSCAB_UPD
GO
CREATE TRIGGER V_MA_PRECIOSCAB_UPD ON V_MA_PRECIOSCAB INSTEAD OF UPDATE AS
BEGIN
    UPDATE c SET
        Descripcion = i.Descripcion, TipoLista = i.TipoLista, Cuenta = i.Cuenta, Moneda = i.Moneda,
        FechaVigencia = i.FechaVigencia, IncluyeIva = i.IncluyeIva, RECEPCION = i.RECEPCION,
        TRANSMISION = i.TRANSMISION
    FROM MA_PRECIOSCAB c INNER JOIN inserted i ON c.IdLista = i.IdLista
END
GO

IF OBJECT_ID('V_MA_PRECIOSCAB_DEL') IS NOT NULL DROP TRIGGER V_MA_PRECIOSCAB_DEL
GO
CREATE TRIGGER V_MA_PRECIOSCAB_DEL ON V_MA_PRECIOSCAB INSTEAD OF DELETE AS
BEGIN
    DELETE c FROM MA_PRECIOSCAB c INNER JOIN deleted d ON c.IdLista = d.IdLista
END
GO
