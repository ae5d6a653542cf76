-- SQLite's own part of the article form's additions, run after articles.sql: the views
-- made again there take their writes into the base tables, as native.sql set up for the
-- first ones (a column with a default takes it when the write gives it no value).

CREATE TRIGGER V_MA_ARTICULOS_INS INSTEAD OF INSERT ON V_MA_ARTICULOS FOR EACH ROW
BEGIN
    INSERT INTO MA_ARTICULOS (
        IdArticulo, Descripcion, IdUnidad, idTipo, IdRubro, IdFamilia, CodigoBarra,
        CodigoBarraDUN, UD_TTE, CodigoBarra1, UMCB1, CodigoBarra2, UMCB2, CodigoBarra3,
        UMCB3, CodigoBarra4, UMCB4, CodigoArtProveedor, CuentaProveedor, UsaSerie, UsaLote,
        Exento, Suspendido, PideEquivalencia, DesdeTrigger, IdPercepcion, Costo, Impuestos,
        Precio1, Precio2, Precio3, Precio4, Precio5, Precio6, Precio7, Precio8,
        PoliticaPrecios, Tasaiva, ActualizaCosto, CostoInsumos, Utilidad, Dto1, Dto2, Dto3,
        Dto4, Dto5, Dto6, Dto7, Dto8, Dto9, Rec1, Rec2, Rec3, FhUltimoCosto, FhAlta,
        Observaciones, RutaImagen, RECEPCION, TRANSMISION)
    VALUES (
        NEW.IdArticulo, NEW.Descripcion, NEW.IdUnidad, NEW.idTipo, NEW.IdRubro,
        NEW.IdFamilia, NEW.CodigoBarra, NEW.CodigoBarraDUN, NEW.UD_TTE, NEW.CodigoBarra1,
        NEW.UMCB1, NEW.CodigoBarra2, NEW.UMCB2, NEW.CodigoBarra3, NEW.UMCB3,
        NEW.CodigoBarra4, NEW.UMCB4, NEW.CodigoArtProveedor, NEW.CuentaProveedor,
        COALESCE(NEW.UsaSerie, 0), COALESCE(NEW.UsaLote, 0), COALESCE(NEW.Exento, 0),
        COALESCE(NEW.Suspendido, 0), COALESCE(NEW.PideEquivalencia, 0),
        COALESCE(NEW.DesdeTrigger, 0), NEW.IdPercepcion, NEW.Costo, NEW.Impuestos,
        NEW.Precio1, NEW.Precio2, NEW.Precio3, NEW.Precio4, NEW.Precio5, NEW.Precio6,
        NEW.Precio7, NEW.Precio8, NEW.PoliticaPrecios, NEW.Tasaiva,
        COALESCE(NEW.ActualizaCosto, 0), NEW.CostoInsumos, NEW.Utilidad, NEW.Dto1,
        NEW.Dto2, NEW.Dto3, NEW.Dto4, NEW.Dto5, NEW.Dto6, NEW.Dto7, NEW.Dto8, NEW.Dto9,
        NEW.Rec1, NEW.Rec2, NEW.Rec3, NEW.FhUltimoCosto, NEW.FhAlta, NEW.Observaciones,
        NEW.RutaImagen, NEW.RECEPCION, COALESCE(NEW.TRANSMISION, 0));
END
GO

-- Id numbers the rows: it is never written through the view.
CREATE TRIGGER V_MA_ARTICULOS_UPD INSTEAD OF UPDATE ON V_MA_ARTICULOS FOR EACH ROW
BEGIN
    UPDATE MA_ARTICULOS SET
        IdArticulo = NEW.IdArticulo, Descripcion = NEW.Descripcion,
        IdUnidad = NEW.IdUnidad, idTipo = NEW.idTipo, IdRubro = NEW.IdRubro,
        IdFamilia = NEW.IdFamilia, CodigoBarra = NEW.CodigoBarra,
        CodigoBarraDUN = NEW.CodigoBarraDUN, UD_TTE = NEW.UD_TTE,
        CodigoBarra1 = NEW.CodigoBarra1, UMCB1 = NEW.UMCB1,
        CodigoBarra2 = NEW.CodigoBarra2, UMCB2 = NEW.UMCB2,
        CodigoBarra3 = NEW.CodigoBarra3, UMCB3 = NEW.UMCB3,
        CodigoBarra4 = NEW.CodigoBarra4, UMCB4 = NEW.UMCB4,
        CodigoArtProveedor = NEW.CodigoArtProveedor, CuentaProveedor = NEW.CuentaProveedor,
        UsaSerie = NEW.UsaSerie, UsaLote = NEW.UsaLote, Exento = NEW.Exento,
        Suspendido = NEW.Suspendido, PideEquivalencia = NEW.PideEquivalencia,
        DesdeTrigger = NEW.DesdeTrigger, IdPercepcion = NEW.IdPercepcion,
        Costo = NEW.Costo, Impuestos = NEW.Impuestos, Precio1 = NEW.Precio1,
        Precio2 = NEW.Precio2, Precio3 = NEW.Precio3, Precio4 = NEW.Precio4,
        Precio5 = NEW.Precio5, Precio6 = NEW.Precio6, Precio7 = NEW.Precio7,
        Precio8 = NEW.Precio8, PoliticaPrecios = NEW.PoliticaPrecios,
        Tasaiva = NEW.Tasaiva, ActualizaCosto = NEW.ActualizaCosto,
        CostoInsumos = NEW.CostoInsumos, Utilidad = NEW.Utilidad, Dto1 = NEW.Dto1,
        Dto2 = NEW.Dto2, Dto3 = NEW.Dto3, Dto4 = NEW.Dto4, Dto5 = NEW.Dto5,
        Dto6 = NEW.Dto6, Dto7 = NEW.Dto7, Dto8 = NEW.Dto8, Dto9 = NEW.Dto9,
        Rec1 = NEW.Rec1, Rec2 = NEW.Rec2, Rec3 = NEW.Rec3,
        FhUltimoCosto = NEW.FhUltimoCosto, FhAlta = NEW.FhAlta,
        Observaciones = NEW.Observaciones, RutaImagen = NEW.RutaImagen,
        RECEPCION = NEW.RECEPCION, TRANSMISION = NEW.TRANSMISION
    WHERE IdArticulo = OLD.IdArticulo;
END
GO

CREATE TRIGGER V_MA_ARTICULOS_DEL INSTEAD OF DELETE ON V_MA_ARTICULOS FOR EACH ROW
BEGIN
    DELETE FROM MA_ARTICULOS WHERE IdArticulo = OLD.IdArticulo;
END
GO

-- Nombre shows the description: a write of the name is not kept apart.
CREATE TRIGGER V_MA_PRECIOSCAB_INS INSTEAD OF INSERT ON V_MA_PRECIOSCAB FOR EACH ROW
BEGIN
    INSERT INTO MA_PRECIOSCAB (
        IdLista, Descripcion, TipoLista, Cuenta, Moneda, FechaVigencia, IncluyeIva,
        RECEPCION, TRANSMISION)
    VALUES (
        NEW.IdLista, NEW.Descripcion, NEW.TipoLista, NEW.Cuenta, NEW.Moneda,
        NEW.FechaVigencia, COALESCE(NEW.IncluyeIva, 0), NEW.RECEPCION,
        COALESCE(NEW.TRANSMISION, 0));
END
GO

CREATE TRIGGER V_MA_PRECIOSCAB_UPD INSTEAD OF UPDATE ON V_MA_PRECIOSCAB FOR EACH ROW
BEGIN
    UPDATE MA_PRECIOSCAB SET
        IdLista = NEW.IdLista, Descripcion = NEW.Descripcion, TipoLista = NEW.TipoLista,
        Cuenta = NEW.Cuenta, Moneda = NEW.Moneda, FechaVigencia = NEW.FechaVigencia,
        IncluyeIva = NEW.IncluyeIva, RECEPCION = NEW.RECEPCION,
        TRANSMISION = NEW.TRANSMISION
    WHERE IdLista = OLD.IdLista;
END
GO

CREATE TRIGGER V_MA_PRECIOSCAB_DEL INSTEAD OF DELETE ON V_MA_PRECIOSCAB FOR EACH ROW
BEGIN
    DELETE FROM MA_PRECIOSCAB WHERE IdLista = OLD.IdLista;
END
GO

CREATE TRIGGER V_MA_PRECIOS_INS INSTEAD OF INSERT ON V_MA_PRECIOS FOR EACH ROW
BEGIN
    INSERT INTO MA_PRECIOS (
        IdLista, IdArticulo, IdArticuloProveedor, IdUnidad, Precio, Costo, Dto1,
        FechaVigencia, DesdeTrigger, Nombre, ConIVA, Precio1, Precio2, Precio3,
        Precio4, Precio5, IdMoneda, DescripcionArticulo, Rubro, RECEPCION, TRANSMISION)
    VALUES (
        NEW.IdLista, NEW.IdArticulo, NEW.IdArticuloProveedor, NEW.IdUnidad,
        COALESCE(NEW.Precio, 0), NEW.Costo, NEW.Dto1, NEW.FechaVigencia,
        COALESCE(NEW.DesdeTrigger, 0), NEW.Nombre, COALESCE(NEW.ConIVA, 0),
        NEW.Precio1, NEW.Precio2, NEW.Precio3, NEW.Precio4, NEW.Precio5, NEW.IdMoneda,
        NEW.DescripcionArticulo, NEW.Rubro, NEW.RECEPCION, COALESCE(NEW.TRANSMISION, 0));
END
GO

CREATE TRIGGER V_MA_PRECIOS_UPD INSTEAD OF UPDATE ON V_MA_PRECIOS FOR EACH ROW
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
END
GO

CREATE TRIGGER V_MA_PRECIOS_DEL INSTEAD OF DELETE ON V_MA_PRECIOS FOR EACH ROW
BEGIN
    DELETE FROM MA_PRECIOS WHERE IdLista = OLD.IdLista AND IdArticulo = OLD.IdArticulo;
END
GO
