-- The table from which the display controller (mostrela) takes its messages, on SQL Server.
-- Run it in the database that the point-of-sale program writes to (SQL Server Management Studio:
-- choose that database above the query, then Execute; or
--   sqlcmd -S LOJA01\SQLEXPRESS -E -d Vendas -i SaidaDisplay.sql
-- ), as a login that may create tables there.

CREATE TABLE dbo.SaidaDisplay (
    NumRegisto int IDENTITY(1, 1) NOT NULL PRIMARY KEY,
    DataSys    datetime      NOT NULL DEFAULT (GETDATE()),
    Linha1     nvarchar(80)  NOT NULL DEFAULT (N''),
    Linha2     nvarchar(80)  NOT NULL DEFAULT (N''),
    Utilizador nvarchar(50)  NOT NULL
);
CREATE INDEX IX_SaidaDisplay_Utilizador_DataSys ON dbo.SaidaDisplay (Utilizador, DataSys);
GO

-- The till's own SQL login, one for each till (see "SQL Server" in the README): remove the "--"
-- before the lines below, put the till's name and a password of its own, and run them too. The
-- name is what goes in Mostrela.cfg as SQL_Utilizador, and in the Utilizador column of its rows.
--
-- USE master;
-- CREATE LOGIN caixa1 WITH PASSWORD = 'Outra-palavra-passe-1', CHECK_POLICY = ON;
-- GO
-- USE Vendas;   -- the database of the table
-- CREATE USER caixa1 FOR LOGIN caixa1;
-- GRANT SELECT, DELETE ON dbo.SaidaDisplay TO caixa1;
-- GO
