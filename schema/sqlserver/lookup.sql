-- What the lookup browser alone writes in the suite's database (SQL Server dialect).
-- Batches are separated by GO lines; the SQLite and PostgreSQL backends translate them.
-- The suite keeps the stock shortages behind the view V_MV_FALTANTES; an embedded
-- database holds them in a table of that name, which every engine can insert into.
-- Created only where missing, so that the script can complete a database that has it.

IF NOT EXISTS (SELECT * FROM sysobjects WHERE name = 'V_MV_FALTANTES')
CREATE TABLE V_MV_FALTANTES (
    Id int IDENTITY(1,1) NOT NULL PRIMARY KEY,
    FechaHora datetime NULL,
    IdArticulo varchar(25) NULL,
    Descripcion varchar(100) NULL,
    Usuario varchar(50) NULL
)
GO
