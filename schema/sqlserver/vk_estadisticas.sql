-- The statistics database VK_ESTADISTICAS (SQL Server dialect): its own configuration
-- table, where the command time-out of the suite is kept.

CREATE TABLE TA_CONFIGURACION (
    CLAVE varchar(100) NOT NULL PRIMARY KEY,
    VALOR varchar(255) NULL,
    VALORAUX varchar(255) NULL,
    Grupo varchar(50) NULL,
    PoliticaNegocio bit NULL DEFAULT 0
)
GO
