-- What the article form reads and writes beyond the transmission package (SQL Server
-- dialect; run after imaestros.sql and the engine's own part). The views are made again
-- with the new columns, each engine's articles_native.sql makes them writable again, and
-- RECEPCION and TRANSMISION still close them (the package's column order).

-- Articles: the row number the automatic bar code is made from.
ALTER TABLE MA_ARTICULOS ADD Id int IDENTITY(1,1) NOT NULL
GO

-- Prices: the row of a list as the article form writes it (its name, the five price
-- classes, currency, the article's description and category). Its list type stays the
-- header's.
ALTER TABLE MA_PRECIOS ADD Nombre varchar(150) NULL, ConIVA bit NULL DEFAULT 0, Precio1 money NULL,
    Precio2 money NULL, Precio3 money NULL, Precio4 money NULL, Precio5 money NULL, IdMoneda varchar(4) NULL,
    DescripcionArticulo varchar(150) NULL, Rubro varchar(4) NULL
GO

-- Colours and sizes of articles are configuration rows whose code is their Descripcion.
ALTER TABLE TA_CONFIGURACION ADD Descripcion varchar(255) NULL
GO

DROP VIEW V_MA_PRECIOS
GO
DROP VIEW V_MA_PRECIOSCAB
GO
DROP VIEW V_MA_ARTICULOS
GO

CREATE VIEW V_MA_ARTICULOS AS
SELECT IdArticulo, Descripcion, IdUnidad, idTipo, IdRubro, IdFamilia, CodigoBarra,
       CodigoBarraDUN, UD_TTE, CodigoBarra1, UMCB1, CodigoBarra2, UMCB2, CodigoBarra3,
       UMCB3, CodigoBarra4, UMCB4, CodigoArtProveedor, CuentaProveedor, UsaSerie, UsaLote,
       Exento, Suspendido, PideEquivalencia, DesdeTrigger, IdPercepcion, Costo, Impuestos,
       Precio1, Precio2, Precio3, Precio4, Precio5, Precio6, Precio7, Precio8,
       PoliticaPrecios, Tasaiva, ActualizaCosto, CostoInsumos, Utilidad, Dto1, Dto2, Dto3,
       Dto4, Dto5, Dto6, Dto7, Dto8, Dto9, Rec1, Rec2, Rec3, FhUltimoCosto, FhAlta,
       Observaciones, RutaImagen, Id, RECEPCION, TRANSMISION
FROM MA_ARTICULOS
GO

-- A list's name is its description.
CREATE VIEW V_MA_PRECIOSCAB AS
SELECT IdLista, Descripcion, TipoLista, Cuenta, Moneda, FechaVigencia, IncluyeIva,
       Descripcion AS Nombre, RECEPCION, TRANSMISION
FROM MA_PRECIOSCAB
GO

-- A price whose list has no header yet is still found (and written) by its key.
CREATE VIEW V_MA_PRECIOS AS
SELECT MA_PRECIOS.IdLista, MA_PRECIOS.IdArticulo, MA_PRECIOS.IdArticuloProveedor,
       MA_PRECIOS.IdUnidad, MA_PRECIOS.Precio, MA_PRECIOS.Costo, MA_PRECIOS.Dto1,
       MA_PRECIOS.FechaVigencia, MA_PRECIOS.DesdeTrigger, MA_PRECIOSCAB.TipoLista,
       MA_PRECIOS.Nombre, MA_PRECIOS.ConIVA, MA_PRECIOS.Precio1, MA_PRECIOS.Precio2,
       MA_PRECIOS.Precio3, MA_PRECIOS.Precio4, MA_PRECIOS.Precio5, MA_PRECIOS.IdMoneda,
       MA_PRECIOS.DescripcionArticulo, MA_PRECIOS.Rubro,
       MA_PRECIOS.RECEPCION, MA_PRECIOS.TRANSMISION
FROM MA_PRECIOS LEFT JOIN MA_PRECIOSCAB ON MA_PRECIOS.IdLista = MA_PRECIOSCAB.IdLista
GO
