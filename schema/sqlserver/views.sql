-- What the forms and the lookup read beyond the package's tables (SQL Server dialect, run
-- after articles.sql): the synonym views a restricted user reads instead of some tables
-- (DB_Dll rewrites the table's name into its SS_ view), the lookup's views of articles,
-- suppliers and customers, and the few tables that only those views, the default query
-- masks and the lookup's trees name. Every view reads one table, so that each engine can
-- tell the types of its columns.

IF NOT EXISTS (SELECT * FROM sysobjects WHERE name = 'V_TA_CAJAS')
CREATE TABLE V_TA_CAJAS (
    IdCajas varchar(4) NOT NULL,
    Descripcion varchar(50) NULL,
    RECEPCION int NULL,
    TRANSMISION int NULL DEFAULT 0,
    PRIMARY KEY (IdCajas)
)
GO

IF NOT EXISTS (SELECT * FROM sysobjects WHERE name = 'AC_CUENTASDIARIO')
CREATE TABLE AC_CUENTASDIARIO (
    Cuenta varchar(20) NOT NULL,
    Fecha datetime NOT NULL,
    Debe money NULL,
    Haber money NULL,
    PRIMARY KEY (Cuenta, Fecha)
)
GO

IF NOT EXISTS (SELECT * FROM sysobjects WHERE name = 'AC_CUENTASDIARIO_CCOSTO')
CREATE TABLE AC_CUENTASDIARIO_CCOSTO (
    Cuenta varchar(20) NOT NULL,
    Fecha datetime NOT NULL,
    CCosto varchar(4) NOT NULL,
    Debe money NULL,
    Haber money NULL,
    PRIMARY KEY (Cuenta, Fecha, CCosto)
)
GO

-- Named by the default query masks (consultas.vkr).
IF NOT EXISTS (SELECT * FROM sysobjects WHERE name = 'MA_CONTACTOS')
CREATE TABLE MA_CONTACTOS (
    Nombre_y_Apellido varchar(100) NOT NULL,
    Codigo varchar(20) NULL,
    Domicilio varchar(100) NULL,
    Localidad varchar(50) NULL,
    Telefono varchar(30) NULL,
    RECEPCION int NULL,
    TRANSMISION int NULL DEFAULT 0,
    PRIMARY KEY (Nombre_y_Apellido)
)
GO

IF NOT EXISTS (SELECT * FROM sysobjects WHERE name = 'V_MA_MANTENIMIENTOS')
CREATE TABLE V_MA_MANTENIMIENTOS (
    Codigo varchar(4) NOT NULL,
    Descripcion varchar(50) NULL,
    RECEPCION int NULL,
    TRANSMISION int NULL DEFAULT 0,
    PRIMARY KEY (Codigo)
)
GO

IF NOT EXISTS (SELECT * FROM sysobjects WHERE name = 'V_TA_UNIDADNEGOCIO')
CREATE TABLE V_TA_UNIDADNEGOCIO (
    Codigo varchar(4) NOT NULL,
    Descripcion varchar(50) NULL,
    RECEPCION int NULL,
    TRANSMISION int NULL DEFAULT 0,
    PRIMARY KEY (Codigo)
)
GO

-- The positions' tree of the lookup.
IF NOT EXISTS (SELECT * FROM sysobjects WHERE name = 'MA_POSICIONES')
CREATE TABLE MA_POSICIONES (
    IdPosicion varchar(10) NOT NULL,
    Descripcion varchar(50) NULL,
    PRIMARY KEY (IdPosicion)
)
GO

-- A restricted user's views: here they show the whole table.
CREATE VIEW SS_MA_CUENTAS AS SELECT * FROM MA_CUENTAS
GO
CREATE VIEW SS_V_TA_DEPOSITO AS SELECT * FROM V_TA_DEPOSITO
GO
CREATE VIEW SS_MV_ASIENTOS AS SELECT * FROM MV_ASIENTOS
GO
CREATE VIEW SS_V_TA_FAMILIAS AS SELECT * FROM V_TA_FAMILIAS
GO
CREATE VIEW SS_V_TA_CAJAS AS SELECT * FROM V_TA_CAJAS
GO
CREATE VIEW SS_AC_CUENTASDIARIO AS SELECT * FROM AC_CUENTASDIARIO
GO
CREATE VIEW SS_AC_CUENTAS_DIARIO_CCOSTO AS SELECT * FROM AC_CUENTASDIARIO_CCOSTO
GO

-- The lookup's articles: a lookup of V_MA_ARTICULOS reads this view (the same columns).
CREATE VIEW VT_MA_ARTICULOS AS
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

-- Suppliers and customers are accounts of their kind; none is marked withdrawn here.
CREATE VIEW VT_PROVEEDORES AS
SELECT Codigo, CodigoOpcional, Descripcion, Razon_Social, Cuit, CondIva, Moneda, Imputable,
       FechaAlta, TipoVista, 0 AS Dada_De_Baja
FROM MA_CUENTAS
WHERE TipoVista = 'PR'
GO

CREATE VIEW VT_CLIENTES AS
SELECT Codigo, CodigoOpcional, Descripcion, Razon_Social, Cuit, CondIva, Moneda, Imputable,
       FechaAlta, TipoVista, CAST(NULL AS varchar(50)) AS Contacto, 0 AS Dada_De_Baja
FROM MA_CUENTAS
WHERE TipoVista = 'CL'
GO
