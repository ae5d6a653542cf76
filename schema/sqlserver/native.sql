-- SQL Server's own part of the suite's database, run after the shared script.
--
-- The article and price-list header views read one table each and take writes as they
-- are. The price view joins the list header for TipoLista: INSTEAD OF triggers send its
-- writes to MA_PRECIOS (TipoLista belongs to the header and is left alone; a price's key
-- is not changed through the view).

IF OBJECT_ID('V_MA_PRECIOS_INS') IS NOT NULL DROP TRIGGER V_MA_PRECIOS_INS
GO
CREATE TRIGGER V_MA_PRECIOS_INS ON V_MA_PRECIOS INSTEAD OF INSERT AS
BEGIN
    INSERT INTO MA_PRECIOS (
        IdLista, IdArticulo, IdArticuloProveedor, IdUnidad, Precio, Costo, Dto1,
        FechaVigencia, DesdeTrigger, RECEPCION, TRANSMISION)
    SELECT
        i.IdLista, i.IdArticulo, i.IdArticuloProveedor, i.IdUnidad, ISNULL(i.Precio, 0),
        i.Costo, i.Dto1, i.FechaVigencia, ISNULL(i.DesdeTrigger, 0), i.RECEPCION,
        ISNULL(i.TRANSMISION, 0)
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
        DesdeTrigger = i.DesdeTrigger, RECEPCION = i.RECEPCION, TRANSMISION = i.TRANSMISION
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

-- The fiscal calendar: every missing day from @Desde to @Hasta (dd/mm/yyyy).
IF OBJECT_ID('VK_CREACALENDARIO') IS NOT NULL DROP PROCEDURE VK_CREACALENDARIO
GO
CREATE PROCEDURE VK_CREACALENDARIO @Desde varchar(10), @Hasta varchar(10) AS
BEGIN
    SET NOCOUNT ON
    DECLARE @Dia datetime, @Fin datetime
    SET @Dia = CONVERT(datetime, @Desde, 103)
    SET @Fin = CONVERT(datetime, @Hasta, 103)
    WHILE @Dia <= @Fin
    BEGIN
        IF NOT EXISTS (SELECT 1 FROM TA_CALENDARIO WHERE FECHA = @Dia)
            INSERT INTO TA_CALENDARIO (FECHA, PERIODO, MES_OPERATIVO, HABIL)
            VALUES (@Dia, CONVERT(varchar(4), YEAR(@Dia)), MONTH(@Dia), 1)
        SET @Dia = DATEADD(day, 1, @Dia)
    END
END
GO
