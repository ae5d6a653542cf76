-- The suite's database as this program reads and writes it (SQL Server dialect).
-- Batches are separated by GO lines; the SQLite and PostgreSQL backends translate them.

CREATE TABLE TA_CONFIGURACION (
    CLAVE varchar(100) NOT NULL PRIMARY KEY,
    VALOR varchar(255) NULL,
    VALORAUX varchar(255) NULL,
    Grupo varchar(50) NULL,
    PoliticaNegocio bit NULL DEFAULT 0
)
GO

CREATE TABLE Control_Acceso (
    Id int IDENTITY(1,1) NOT NULL PRIMARY KEY,
    Maquina varchar(50) NULL,
    Usuario varchar(50) NULL,
    Formulario varchar(50) NULL,
    Tarea varchar(100) NULL,
    Ingreso varchar(20) NULL,
    EGRESO varchar(20) NULL,
    NombreUsuario varchar(50) NULL
)
GO

CREATE TABLE AUX_ERR (
    Id int IDENTITY(1,1) NOT NULL PRIMARY KEY,
    Proceso varchar(50) NULL,
    Fecha varchar(20) NULL,
    Error int NULL,
    Descripcion varchar(250) NULL,
    SQL text NULL,
    pc varchar(50) NULL,
    Usuario varchar(50) NULL
)
GO

CREATE TABLE TA_USUARIOS (
    Nombre varchar(50) NOT NULL PRIMARY KEY,
    Grupo varchar(50) NULL,
    Sistema varchar(20) NULL,
    Administrador int NULL DEFAULT 0,
    UNegocio varchar(4) NULL,
    verproforma bit NULL DEFAULT 0
)
GO

CREATE TABLE TA_MENU (
    Clave varchar(20) NOT NULL PRIMARY KEY,
    Nombre varchar(100) NULL,
    Proceso varchar(100) NULL
)
GO

CREATE TABLE TA_TAREAS (
    Usuario varchar(50) NOT NULL,
    Tarea varchar(20) NOT NULL,
    PRIMARY KEY (Usuario, Tarea)
)
GO

-- The suite's accounts, articles and price lists. The articles and prices are kept in
-- base tables and written through the V_ views (each engine's own script makes the views
-- writable). RECEPCION and TRANSMISION close every table of the transmission package:
-- the package's field list names them last, its data lines leave them out.

CREATE TABLE MA_CUENTAS (
    Codigo varchar(20) NOT NULL,
    CodigoOpcional varchar(20) NULL,
    Descripcion varchar(100) NULL,
    Razon_Social varchar(100) NULL,
    Cuit varchar(13) NULL,
    CondIva varchar(4) NULL,
    Moneda varchar(4) NULL,
    Imputable bit NULL DEFAULT 1,
    FechaAlta datetime NULL,
    TipoVista varchar(2) NULL,
    RECEPCION int NULL,
    TRANSMISION int NULL DEFAULT 0,
    PRIMARY KEY (Codigo)
)
GO

CREATE TABLE MA_ARTICULOS (
    IdArticulo varchar(25) NOT NULL,
    Descripcion varchar(100) NULL,
    IdUnidad varchar(4) NULL,
    idTipo varchar(4) NULL,
    IdRubro varchar(4) NULL,
    IdFamilia varchar(10) NULL,
    CodigoBarra varchar(25) NULL,
    CodigoBarraDUN varchar(25) NULL,
    UD_TTE varchar(4) NULL,
    CodigoBarra1 varchar(25) NULL,
    UMCB1 varchar(4) NULL,
    CodigoBarra2 varchar(25) NULL,
    UMCB2 varchar(4) NULL,
    CodigoBarra3 varchar(25) NULL,
    UMCB3 varchar(4) NULL,
    CodigoBarra4 varchar(25) NULL,
    UMCB4 varchar(4) NULL,
    CodigoArtProveedor varchar(25) NULL,
    CuentaProveedor varchar(20) NULL,
    UsaSerie bit NULL DEFAULT 0,
    UsaLote bit NULL DEFAULT 0,
    Exento bit NULL DEFAULT 0,
    Suspendido bit NULL DEFAULT 0,
    PideEquivalencia bit NULL DEFAULT 0,
    DesdeTrigger bit NULL DEFAULT 0,
    IdPercepcion varchar(4) NULL,
    Costo money NULL,
    Impuestos money NULL,
    Precio1 money NULL,
    Precio2 money NULL,
    Precio3 money NULL,
    Precio4 money NULL,
    Precio5 money NULL,
    Precio6 money NULL,
    Precio7 money NULL,
    Precio8 money NULL,
    PoliticaPrecios varchar(4) NULL,
    Tasaiva decimal(9,4) NULL,
    ActualizaCosto bit NULL DEFAULT 0,
    CostoInsumos money NULL,
    Utilidad decimal(9,4) NULL,
    Dto1 decimal(9,4) NULL,
    Dto2 decimal(9,4) NULL,
    Dto3 decimal(9,4) NULL,
    Dto4 decimal(9,4) NULL,
    Dto5 decimal(9,4) NULL,
    Dto6 decimal(9,4) NULL,
    Dto7 decimal(9,4) NULL,
    Dto8 decimal(9,4) NULL,
    Dto9 decimal(9,4) NULL,
    Rec1 decimal(9,4) NULL,
    Rec2 decimal(9,4) NULL,
    Rec3 decimal(9,4) NULL,
    FhUltimoCosto datetime NULL,
    FhAlta datetime NULL,
    Observaciones varchar(255) NULL,
    RutaImagen varchar(255) NULL,
    RECEPCION int NULL,
    TRANSMISION int NULL DEFAULT 0,
    PRIMARY KEY (IdArticulo)
)
GO

CREATE VIEW V_MA_ARTICULOS AS
SELECT IdArticulo, Descripcion, IdUnidad, idTipo, IdRubro, IdFamilia, CodigoBarra,
       CodigoBarraDUN, UD_TTE, CodigoBarra1, UMCB1, CodigoBarra2, UMCB2, CodigoBarra3,
       UMCB3, CodigoBarra4, UMCB4, CodigoArtProveedor, CuentaProveedor, UsaSerie, UsaLote,
       Exento, Suspendido, PideEquivalencia, DesdeTrigger, IdPercepcion, Costo, Impuestos,
       Precio1, Precio2, Precio3, Precio4, Precio5, Precio6, Precio7, Precio8,
       PoliticaPrecios, Tasaiva, ActualizaCosto, CostoInsumos, Utilidad, Dto1, Dto2, Dto3,
       Dto4, Dto5, Dto6, Dto7, Dto8, Dto9, Rec1, Rec2, Rec3, FhUltimoCosto, FhAlta,
       Observaciones, RutaImagen, RECEPCION, TRANSMISION
FROM MA_ARTICULOS
GO

CREATE TABLE MA_PRECIOSCAB (
    IdLista varchar(4) NOT NULL,
    Descripcion varchar(100) NULL,
    TipoLista varchar(1) NULL,
    Cuenta varchar(20) NULL,
    Moneda varchar(4) NULL,
    FechaVigencia datetime NULL,
    IncluyeIva bit NULL DEFAULT 0,
    RECEPCION int NULL,
    TRANSMISION int NULL DEFAULT 0,
    PRIMARY KEY (IdLista)
)
GO

CREATE TABLE MA_PRECIOS (
    IdLista varchar(4) NOT NULL,
    IdArticulo varchar(25) NOT NULL,
    IdArticuloProveedor varchar(25) NULL,
    IdUnidad varchar(4) NULL,
    Precio money NULL DEFAULT 0,
    Costo money NULL,
    Dto1 decimal(9,4) NULL,
    FechaVigencia datetime NULL,
    DesdeTrigger bit NULL DEFAULT 0,
    RECEPCION int NULL,
    TRANSMISION int NULL DEFAULT 0,
    PRIMARY KEY (IdLista, IdArticulo)
)
GO

CREATE VIEW V_MA_PRECIOSCAB AS
SELECT IdLista, Descripcion, TipoLista, Cuenta, Moneda, FechaVigencia, IncluyeIva,
       RECEPCION, TRANSMISION
FROM MA_PRECIOSCAB
GO

-- A price whose list has no header yet is still found (and written) by its key.
CREATE VIEW V_MA_PRECIOS AS
SELECT MA_PRECIOS.IdLista, MA_PRECIOS.IdArticulo, MA_PRECIOS.IdArticuloProveedor,
       MA_PRECIOS.IdUnidad, MA_PRECIOS.Precio, MA_PRECIOS.Costo, MA_PRECIOS.Dto1,
       MA_PRECIOS.FechaVigencia, MA_PRECIOS.DesdeTrigger, MA_PRECIOSCAB.TipoLista,
       MA_PRECIOS.RECEPCION, MA_PRECIOS.TRANSMISION
FROM MA_PRECIOS LEFT JOIN MA_PRECIOSCAB ON MA_PRECIOS.IdLista = MA_PRECIOSCAB.IdLista
GO

-- The other master tables of the package, in its order. Created only where missing, so
-- that the script can complete a database that already holds some of them.

IF NOT EXISTS (SELECT * FROM sysobjects WHERE name = 'V_TA_UNIDAD')
CREATE TABLE V_TA_UNIDAD (
    IdUnidad varchar(4) NOT NULL,
    Descripcion varchar(50) NULL,
    Abreviatura varchar(10) NULL,
    Decimales smallint NULL,
    RECEPCION int NULL,
    TRANSMISION int NULL DEFAULT 0,
    PRIMARY KEY (IdUnidad)
)
GO

IF NOT EXISTS (SELECT * FROM sysobjects WHERE name = 'V_TA_RUBROS')
CREATE TABLE V_TA_RUBROS (
    IdRubro varchar(4) NOT NULL,
    Descripcion varchar(50) NULL,
    IdFamilia varchar(10) NULL,
    Margen decimal(9,4) NULL,
    RECEPCION int NULL,
    TRANSMISION int NULL DEFAULT 0,
    PRIMARY KEY (IdRubro)
)
GO

IF NOT EXISTS (SELECT * FROM sysobjects WHERE name = 'V_TA_TIPOARTICULO')
CREATE TABLE V_TA_TIPOARTICULO (
    IdTipo varchar(4) NOT NULL,
    Descripcion varchar(50) NULL,
    Inventariable bit NULL DEFAULT 1,
    RECEPCION int NULL,
    TRANSMISION int NULL DEFAULT 0,
    PRIMARY KEY (IdTipo)
)
GO

IF NOT EXISTS (SELECT * FROM sysobjects WHERE name = 'V_TA_POLITICAPRECIOS')
CREATE TABLE V_TA_POLITICAPRECIOS (
    Codigo varchar(4) NOT NULL,
    Descripcion varchar(50) NULL,
    Porcentaje decimal(9,4) NULL,
    RECEPCION int NULL,
    TRANSMISION int NULL DEFAULT 0,
    PRIMARY KEY (Codigo)
)
GO

IF NOT EXISTS (SELECT * FROM sysobjects WHERE name = 'V_TA_PERCEPCION')
CREATE TABLE V_TA_PERCEPCION (
    IdPercepcion varchar(4) NOT NULL,
    Descripcion varchar(50) NULL,
    Alicuota decimal(9,4) NULL,
    MinimoImponible money NULL,
    RECEPCION int NULL,
    TRANSMISION int NULL DEFAULT 0,
    PRIMARY KEY (IdPercepcion)
)
GO

IF NOT EXISTS (SELECT * FROM sysobjects WHERE name = 'V_TA_FAMILIAS')
CREATE TABLE V_TA_FAMILIAS (
    IdFamilia varchar(10) NOT NULL,
    Descripcion varchar(50) NULL,
    IdFamiliaPadre varchar(10) NULL,
    Nivel smallint NULL,
    RECEPCION int NULL,
    TRANSMISION int NULL DEFAULT 0,
    PRIMARY KEY (IdFamilia)
)
GO

IF NOT EXISTS (SELECT * FROM sysobjects WHERE name = 'V_TA_TARIFAFLETE')
CREATE TABLE V_TA_TARIFAFLETE (
    IdTarifaFlete varchar(4) NOT NULL,
    Descripcion varchar(50) NULL,
    Importe money NULL,
    RECEPCION int NULL,
    TRANSMISION int NULL DEFAULT 0,
    PRIMARY KEY (IdTarifaFlete)
)
GO

IF NOT EXISTS (SELECT * FROM sysobjects WHERE name = 'TA_ESTADOS')
CREATE TABLE TA_ESTADOS (
    Codigo varchar(4) NOT NULL,
    Descripcion varchar(50) NULL,
    RECEPCION int NULL,
    TRANSMISION int NULL DEFAULT 0,
    PRIMARY KEY (Codigo)
)
GO

IF NOT EXISTS (SELECT * FROM sysobjects WHERE name = 'TA_PAISES')
CREATE TABLE TA_PAISES (
    Codigo varchar(4) NOT NULL,
    Descripcion varchar(50) NULL,
    Nacionalidad varchar(50) NULL,
    RECEPCION int NULL,
    TRANSMISION int NULL DEFAULT 0,
    PRIMARY KEY (Codigo)
)
GO

IF NOT EXISTS (SELECT * FROM sysobjects WHERE name = 'TA_TIPODOCUMENTO')
CREATE TABLE TA_TIPODOCUMENTO (
    Codigo varchar(4) NOT NULL,
    Descripcion varchar(50) NULL,
    Longitud smallint NULL,
    RECEPCION int NULL,
    TRANSMISION int NULL DEFAULT 0,
    PRIMARY KEY (Codigo)
)
GO

IF NOT EXISTS (SELECT * FROM sysobjects WHERE name = 'TA_CONDIVA')
CREATE TABLE TA_CONDIVA (
    Codigo varchar(4) NOT NULL,
    Descripcion varchar(50) NULL,
    Letra varchar(1) NULL,
    DiscriminaIva bit NULL DEFAULT 0,
    RECEPCION int NULL,
    TRANSMISION int NULL DEFAULT 0,
    PRIMARY KEY (Codigo)
)
GO

IF NOT EXISTS (SELECT * FROM sysobjects WHERE name = 'V_TA_CPRA_VTA')
CREATE TABLE V_TA_CPRA_VTA (
    IdCond_Cpra_Vta varchar(4) NOT NULL,
    Descripcion varchar(50) NULL,
    Dias smallint NULL,
    Recargo decimal(9,4) NULL,
    RECEPCION int NULL,
    TRANSMISION int NULL DEFAULT 0,
    PRIMARY KEY (IdCond_Cpra_Vta)
)
GO

IF NOT EXISTS (SELECT * FROM sysobjects WHERE name = 'V_TA_CATEGORIA')
CREATE TABLE V_TA_CATEGORIA (
    IdCategoria varchar(4) NOT NULL,
    Descripcion varchar(50) NULL,
    RECEPCION int NULL,
    TRANSMISION int NULL DEFAULT 0,
    PRIMARY KEY (IdCategoria)
)
GO

IF NOT EXISTS (SELECT * FROM sysobjects WHERE name = 'V_TA_VENDEDORES')
CREATE TABLE V_TA_VENDEDORES (
    IdVendedor varchar(4) NOT NULL,
    Nombre varchar(50) NULL,
    Comision decimal(9,4) NULL,
    FechaAlta datetime NULL,
    Activo bit NULL DEFAULT 1,
    RECEPCION int NULL,
    TRANSMISION int NULL DEFAULT 0,
    PRIMARY KEY (IdVendedor)
)
GO

IF NOT EXISTS (SELECT * FROM sysobjects WHERE name = 'V_TA_MOTIVOCPRA')
CREATE TABLE V_TA_MOTIVOCPRA (
    IdMotivoCpra varchar(4) NOT NULL,
    Descripcion varchar(50) NULL,
    RECEPCION int NULL,
    TRANSMISION int NULL DEFAULT 0,
    PRIMARY KEY (IdMotivoCpra)
)
GO

IF NOT EXISTS (SELECT * FROM sysobjects WHERE name = 'V_TA_MOTIVOVTA')
CREATE TABLE V_TA_MOTIVOVTA (
    IdMotivoVta varchar(4) NOT NULL,
    Descripcion varchar(50) NULL,
    RECEPCION int NULL,
    TRANSMISION int NULL DEFAULT 0,
    PRIMARY KEY (IdMotivoVta)
)
GO

IF NOT EXISTS (SELECT * FROM sysobjects WHERE name = 'V_TA_DEPOSITO')
CREATE TABLE V_TA_DEPOSITO (
    IdDeposito varchar(4) NOT NULL,
    Descripcion varchar(50) NULL,
    UnidadNegocio varchar(4) NULL,
    Direccion varchar(100) NULL,
    RECEPCION int NULL,
    TRANSMISION int NULL DEFAULT 0,
    PRIMARY KEY (IdDeposito)
)
GO

IF NOT EXISTS (SELECT * FROM sysobjects WHERE name = 'V_TA_TECNICOS')
CREATE TABLE V_TA_TECNICOS (
    IdTecnico varchar(4) NOT NULL,
    Nombre varchar(50) NULL,
    Costo money NULL,
    RECEPCION int NULL,
    TRANSMISION int NULL DEFAULT 0,
    PRIMARY KEY (IdTecnico)
)
GO

IF NOT EXISTS (SELECT * FROM sysobjects WHERE name = 'MA_CUENTASADIC')
CREATE TABLE MA_CUENTASADIC (
    Codigo varchar(20) NOT NULL,
    Direccion varchar(100) NULL,
    Localidad varchar(50) NULL,
    IdEstado varchar(4) NULL,
    Telefono varchar(30) NULL,
    Email varchar(100) NULL,
    LimiteCredito money NULL,
    RECEPCION int NULL,
    TRANSMISION int NULL DEFAULT 0,
    PRIMARY KEY (Codigo)
)
GO

IF NOT EXISTS (SELECT * FROM sysobjects WHERE name = 'V_TA_TAREAS')
CREATE TABLE V_TA_TAREAS (
    IdTarea varchar(4) NOT NULL,
    Descripcion varchar(50) NULL,
    Horas decimal(9,2) NULL,
    Costo money NULL,
    RECEPCION int NULL,
    TRANSMISION int NULL DEFAULT 0,
    PRIMARY KEY (IdTarea)
)
GO

IF NOT EXISTS (SELECT * FROM sysobjects WHERE name = 'V_MA_INSUMOS')
CREATE TABLE V_MA_INSUMOS (
    IdArticulo varchar(25) NOT NULL,
    IdArticuloInsumo varchar(25) NOT NULL,
    Cantidad decimal(18,4) NULL,
    IdUnidad varchar(4) NULL,
    RECEPCION int NULL,
    TRANSMISION int NULL DEFAULT 0,
    PRIMARY KEY (IdArticulo, IdArticuloInsumo)
)
GO

IF NOT EXISTS (SELECT * FROM sysobjects WHERE name = 'V_MA_INSUMOSTAREAS')
CREATE TABLE V_MA_INSUMOSTAREAS (
    IdArticulo varchar(25) NOT NULL,
    IdTarea varchar(4) NOT NULL,
    Cantidad decimal(18,4) NULL,
    RECEPCION int NULL,
    TRANSMISION int NULL DEFAULT 0,
    PRIMARY KEY (IdArticulo, IdTarea)
)
GO

IF NOT EXISTS (SELECT * FROM sysobjects WHERE name = 'S_TA_EQUIV')
CREATE TABLE S_TA_EQUIV (
    IdArticulo varchar(25) NOT NULL,
    IdUnidad varchar(4) NOT NULL,
    IdUnidad_Equiv varchar(4) NOT NULL,
    Factor decimal(18,6) NULL,
    Coeficiente decimal(18,6) NULL,
    ParaTodos bit NULL DEFAULT 0,
    RECEPCION int NULL,
    TRANSMISION int NULL DEFAULT 0,
    PRIMARY KEY (IdArticulo, IdUnidad, IdUnidad_Equiv)
)
GO

IF NOT EXISTS (SELECT * FROM sysobjects WHERE name = 'B_CODIGOS')
CREATE TABLE B_CODIGOS (
    CodigoBarra varchar(25) NOT NULL,
    IdArticulo varchar(25) NULL,
    IdUnidad varchar(4) NULL,
    RECEPCION int NULL,
    TRANSMISION int NULL DEFAULT 0,
    PRIMARY KEY (CodigoBarra)
)
GO

IF NOT EXISTS (SELECT * FROM sysobjects WHERE name = 'B_ALIAS')
CREATE TABLE B_ALIAS (
    Alias varchar(50) NOT NULL,
    IdArticulo varchar(25) NULL,
    RECEPCION int NULL,
    TRANSMISION int NULL DEFAULT 0,
    PRIMARY KEY (Alias)
)
GO

-- Transmissions: one row per sending ('M'), reception ('N') and movement transmission ('T').

IF NOT EXISTS (SELECT * FROM sysobjects WHERE name = 'MV_TRANSMISIONES')
CREATE TABLE MV_TRANSMISIONES (
    TIPO varchar(1) NOT NULL,
    TRANSMISION int NOT NULL,
    FECHA datetime NULL,
    HORA varchar(20) NULL,
    Responsable_Envio varchar(50) NULL,
    registros_enviados int NULL,
    ubicacion_archivo varchar(255) NULL,
    ANULADO bit NULL DEFAULT 0,
    LOG varchar(2000) NULL,
    FECHAFIN varchar(20) NULL,
    responsable_recepcion varchar(50) NULL,
    registros_recibidos int NULL,
    DbOrigen varchar(100) NULL,
    PRIMARY KEY (TIPO, TRANSMISION)
)
GO

-- Accounting: the fiscal calendar that every entry's date must belong to (VK_CREACALENDARIO
-- fills a year of it), the entries and the tables the import knows keys for.

IF NOT EXISTS (SELECT * FROM sysobjects WHERE name = 'TA_CALENDARIO')
CREATE TABLE TA_CALENDARIO (
    FECHA datetime NOT NULL,
    PERIODO varchar(6) NULL,
    MES_OPERATIVO int NULL,
    HABIL bit NULL DEFAULT 1,
    PRIMARY KEY (FECHA)
)
GO

IF NOT EXISTS (SELECT * FROM sysobjects WHERE name = 'MV_ASIENTOS')
CREATE TABLE MV_ASIENTOS (
    CUENTA varchar(20) NOT NULL,
    SECUENCIA int NOT NULL,
    MES_OPERATIVO int NOT NULL,
    [NUMERO ASIENTO] int NOT NULL,
    PERIODO varchar(6) NOT NULL,
    TIPO_REG varchar(4) NOT NULL,
    FECHA datetime NOT NULL REFERENCES TA_CALENDARIO (FECHA),
    Descripcion varchar(100) NULL,
    [DEBE-HABER] varchar(1) NULL,
    IMPORTE money NULL,
    Moneda varchar(4) NULL,
    TC varchar(4) NULL,
    SUCURSAL varchar(4) NULL,
    NUMERO varchar(8) NULL,
    LETRA varchar(1) NULL,
    UNEGOCIO varchar(4) NULL,
    RECEPCION int NULL,
    TRANSMISION int NULL DEFAULT 0,
    PRIMARY KEY (CUENTA, SECUENCIA, MES_OPERATIVO, [NUMERO ASIENTO], PERIODO, TIPO_REG)
)
GO

IF NOT EXISTS (SELECT * FROM sysobjects WHERE name = 'MV_ASIENTOSCCOSTO')
CREATE TABLE MV_ASIENTOSCCOSTO (
    CUENTA varchar(20) NOT NULL,
    SECUENCIA int NOT NULL,
    MES_OPERATIVO int NOT NULL,
    [NUMERO ASIENTO] int NOT NULL,
    PERIODO varchar(6) NOT NULL,
    TIPO_REG varchar(4) NOT NULL,
    CCOSTO varchar(4) NOT NULL,
    IMPORTE money NULL,
    Moneda varchar(4) NULL,
    UNEGOCIO varchar(4) NULL,
    RECEPCION int NULL,
    TRANSMISION int NULL DEFAULT 0,
    PRIMARY KEY (CUENTA, SECUENCIA, MES_OPERATIVO, [NUMERO ASIENTO], PERIODO, TIPO_REG, CCOSTO)
)
GO

IF NOT EXISTS (SELECT * FROM sysobjects WHERE name = 'MA_CUENTASSUC')
CREATE TABLE MA_CUENTASSUC (
    CODIGO varchar(20) NOT NULL,
    SUCURSAL int NOT NULL,
    Descripcion varchar(100) NULL,
    RECEPCION int NULL,
    TRANSMISION int NULL DEFAULT 0,
    PRIMARY KEY (CODIGO, SUCURSAL)
)
GO

IF NOT EXISTS (SELECT * FROM sysobjects WHERE name = 'V_TA_BANCOS')
CREATE TABLE V_TA_BANCOS (
    IdBanco varchar(4) NOT NULL,
    Descripcion varchar(50) NULL,
    RECEPCION int NULL,
    TRANSMISION int NULL DEFAULT 0,
    PRIMARY KEY (IdBanco)
)
GO

IF NOT EXISTS (SELECT * FROM sysobjects WHERE name = 'TA_COMPROBANTES')
CREATE TABLE TA_COMPROBANTES (
    CODIGO varchar(4) NOT NULL,
    TALONARIO int NOT NULL,
    Descripcion varchar(50) NULL,
    Numero int NULL,
    RECEPCION int NULL,
    TRANSMISION int NULL DEFAULT 0,
    PRIMARY KEY (CODIGO, TALONARIO)
)
GO

IF NOT EXISTS (SELECT * FROM sysobjects WHERE name = 'V_TA_CPTE')
CREATE TABLE V_TA_CPTE (
    CODIGO varchar(4) NOT NULL,
    TALONARIO int NOT NULL,
    Descripcion varchar(50) NULL,
    RECEPCION int NULL,
    TRANSMISION int NULL DEFAULT 0,
    PRIMARY KEY (CODIGO, TALONARIO)
)
GO

IF NOT EXISTS (SELECT * FROM sysobjects WHERE name = 'MV_EJERCICIOS')
CREATE TABLE MV_EJERCICIOS (
    PERIODO varchar(6) NOT NULL,
    FechaDesde datetime NULL,
    FechaHasta datetime NULL,
    Cerrado bit NULL DEFAULT 0,
    RECEPCION int NULL,
    TRANSMISION int NULL DEFAULT 0,
    PRIMARY KEY (PERIODO)
)
GO

IF NOT EXISTS (SELECT * FROM sysobjects WHERE name = 'TA_CCOSTO')
CREATE TABLE TA_CCOSTO (
    CODIGO varchar(4) NOT NULL,
    Descripcion varchar(50) NULL,
    RECEPCION int NULL,
    TRANSMISION int NULL DEFAULT 0,
    PRIMARY KEY (CODIGO)
)
GO

IF NOT EXISTS (SELECT * FROM sysobjects WHERE name = 'MV_APLICACION')
CREATE TABLE MV_APLICACION (
    CUENTA varchar(20) NOT NULL,
    TC varchar(4) NOT NULL,
    SUCURSAL varchar(4) NOT NULL,
    NUMERO varchar(8) NOT NULL,
    LETRA varchar(1) NOT NULL,
    TCO_ORIGEN varchar(4) NOT NULL,
    SUCURSAL_ORIGEN varchar(4) NOT NULL,
    NUMERO_ORIGEN varchar(8) NOT NULL,
    LETRA_ORIGEN varchar(1) NOT NULL,
    IMPORTE money NOT NULL,
    FECHA datetime NULL,
    UNEGOCIO varchar(4) NULL,
    RECEPCION int NULL,
    TRANSMISION int NULL DEFAULT 0,
    PRIMARY KEY (CUENTA, TC, SUCURSAL, NUMERO, LETRA, TCO_ORIGEN, SUCURSAL_ORIGEN, NUMERO_ORIGEN, LETRA_ORIGEN, IMPORTE)
)
GO
