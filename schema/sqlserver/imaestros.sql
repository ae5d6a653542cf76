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

CREATE TABLE MA_CUENTAS (
    Codigo varchar(20) NOT NULL PRIMARY KEY,
    CodigoOpcional varchar(20) NULL,
    Descripcion varchar(100) NULL,
    Razon_Social varchar(100) NULL,
    TRANSMISION int NULL DEFAULT 0
)
GO

CREATE TABLE MA_ARTICULOS (
    IdArticulo varchar(25) NOT NULL PRIMARY KEY,
    Descripcion varchar(100) NULL,
    IdUnidad varchar(4) NULL,
    idTipo varchar(4) NULL,
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
    TRANSMISION int NULL DEFAULT 0
)
GO

CREATE VIEW V_MA_ARTICULOS AS
SELECT IdArticulo, Descripcion, IdUnidad, idTipo, CodigoBarra, CodigoBarraDUN, UD_TTE,
       CodigoBarra1, UMCB1, CodigoBarra2, UMCB2, CodigoBarra3, UMCB3, CodigoBarra4, UMCB4,
       CodigoArtProveedor, CuentaProveedor, TRANSMISION
FROM MA_ARTICULOS
GO

CREATE TABLE MA_PRECIOSCAB (
    IdLista varchar(4) NOT NULL PRIMARY KEY,
    Descripcion varchar(100) NULL,
    TipoLista varchar(1) NULL,
    Cuenta varchar(20) NULL,
    TRANSMISION int NULL DEFAULT 0
)
GO

CREATE TABLE MA_PRECIOS (
    IdLista varchar(4) NOT NULL,
    IdArticulo varchar(25) NOT NULL,
    IdArticuloProveedor varchar(25) NULL,
    IdUnidad varchar(4) NULL,
    Precio money NULL DEFAULT 0,
    TRANSMISION int NULL DEFAULT 0,
    PRIMARY KEY (IdLista, IdArticulo)
)
GO

CREATE VIEW V_MA_PRECIOSCAB AS
SELECT IdLista, Descripcion, TipoLista, Cuenta, TRANSMISION
FROM MA_PRECIOSCAB
GO

CREATE VIEW V_MA_PRECIOS AS
SELECT MA_PRECIOS.IdLista, MA_PRECIOS.IdArticulo, MA_PRECIOS.IdArticuloProveedor,
       MA_PRECIOS.IdUnidad, MA_PRECIOS.Precio, MA_PRECIOSCAB.TipoLista, MA_PRECIOS.TRANSMISION
FROM MA_PRECIOS INNER JOIN MA_PRECIOSCAB ON MA_PRECIOS.IdLista = MA_PRECIOSCAB.IdLista
GO
