-- Zorvik development database for SQL Server.
--
-- The objects and columns of the attendance database that Zorvik reads, with a few sample
-- rows: the same schema as the SQLite demo database that `zorvik --demo` builds. Run it on an
-- empty database (it drops and recreates its own objects, so it can be run again):
--
--     sqlcmd -S host,1433 -U user -P password -d att -i sql/zorvik-dev-schema.sql
--
-- The user Zorvik connects with needs SELECT on the tables and views and EXECUTE on the procedure
-- (the Last activity report keeps its scratch rows in the session table #tmpLastActTime).
-- A shared table tmpLastActTime left by older versions is dropped below.

SET NOCOUNT ON;
GO

IF OBJECT_ID('dbo.sp_popuni_TekuciRbrUC', 'P') IS NOT NULL DROP PROCEDURE dbo.sp_popuni_TekuciRbrUC;
IF OBJECT_ID('dbo.viewPhoto', 'V') IS NOT NULL DROP VIEW dbo.viewPhoto;
IF OBJECT_ID('dbo.viewMediaIDActive', 'V') IS NOT NULL DROP VIEW dbo.viewMediaIDActive;
IF OBJECT_ID('dbo.viewMediaIDHist', 'V') IS NOT NULL DROP VIEW dbo.viewMediaIDHist;
IF OBJECT_ID('dbo.view_TekuciRadniDan', 'V') IS NOT NULL DROP VIEW dbo.view_TekuciRadniDan;
IF OBJECT_ID('dbo.ViewPartnerEvents', 'V') IS NOT NULL DROP VIEW dbo.ViewPartnerEvents;
IF OBJECT_ID('dbo.tmpLastActTime', 'U') IS NOT NULL DROP TABLE dbo.tmpLastActTime;
IF OBJECT_ID('dbo.tblPartnerEvent', 'U') IS NOT NULL DROP TABLE dbo.tblPartnerEvent;
IF OBJECT_ID('dbo.tblPartner', 'U') IS NOT NULL DROP TABLE dbo.tblPartner;
IF OBJECT_ID('dbo.tblTekuciRadniDan', 'U') IS NOT NULL DROP TABLE dbo.tblTekuciRadniDan;
IF OBJECT_ID('dbo.tblLastReg', 'U') IS NOT NULL DROP TABLE dbo.tblLastReg;
IF OBJECT_ID('dbo.tblReg', 'U') IS NOT NULL DROP TABLE dbo.tblReg;
IF OBJECT_ID('dbo.tblPraznik', 'U') IS NOT NULL DROP TABLE dbo.tblPraznik;
IF OBJECT_ID('dbo.tblNedozvoljeneAktivnosti', 'U') IS NOT NULL DROP TABLE dbo.tblNedozvoljeneAktivnosti;
IF OBJECT_ID('dbo.tblRadniDan', 'U') IS NOT NULL DROP TABLE dbo.tblRadniDan;
IF OBJECT_ID('dbo.tblLogActGroupDet', 'U') IS NOT NULL DROP TABLE dbo.tblLogActGroupDet;
IF OBJECT_ID('dbo.tblLogActGroup', 'U') IS NOT NULL DROP TABLE dbo.tblLogActGroup;
IF OBJECT_ID('dbo.LogickaAktivnost', 'U') IS NOT NULL DROP TABLE dbo.LogickaAktivnost;
IF OBJECT_ID('dbo.tblMediaID', 'U') IS NOT NULL DROP TABLE dbo.tblMediaID;
IF OBJECT_ID('dbo.tblZaposleni', 'U') IS NOT NULL DROP TABLE dbo.tblZaposleni;
IF OBJECT_ID('dbo.Sektor', 'U') IS NOT NULL DROP TABLE dbo.Sektor;
GO

-- Departments, employees and their media (cards). IDNo is 16 characters: a 6-character prefix,
-- the 8-character card number that tblReg stores, and a 2-character suffix.
CREATE TABLE dbo.Sektor (
    IDSektora int NOT NULL PRIMARY KEY,
    NazivSektora nvarchar(100) NOT NULL
);
CREATE TABLE dbo.tblZaposleni (
    IDZaposlenog int NOT NULL PRIMARY KEY,
    Prezime nvarchar(60) NOT NULL,
    Ime nvarchar(60) NOT NULL,
    IDSektora int NULL REFERENCES dbo.Sektor (IDSektora),
    RadiSubotom bit NOT NULL DEFAULT 0,
    Fotografija varbinary(max) NULL
);
CREATE TABLE dbo.tblMediaID (
    IDMedia int IDENTITY(1, 1) NOT NULL PRIMARY KEY,
    IDZaposlenog int NOT NULL REFERENCES dbo.tblZaposleni (IDZaposlenog),
    IDNo varchar(16) NOT NULL,
    VaziOd datetime NOT NULL,
    VaziDo datetime NULL
);
CREATE INDEX ixMediaIDZaposleni ON dbo.tblMediaID (IDZaposlenog);

-- Activities; Kalendarska <> 0 marks calendar activities (leave, holidays) that are not clocked.
CREATE TABLE dbo.LogickaAktivnost (
    IDLogickeAktivnosti int NOT NULL PRIMARY KEY,
    OpisLogAkt nvarchar(100) NOT NULL,
    Kalendarska int NOT NULL DEFAULT 0
);
CREATE TABLE dbo.tblLogActGroup (
    ID int NOT NULL PRIMARY KEY,
    NazivGrupe nvarchar(100) NOT NULL
);
CREATE TABLE dbo.tblLogActGroupDet (
    ID int NOT NULL REFERENCES dbo.tblLogActGroup (ID),
    LogActID int NOT NULL REFERENCES dbo.LogickaAktivnost (IDLogickeAktivnosti),
    PRIMARY KEY (ID, LogActID)
);

-- Day types and the activities not allowed on them.
CREATE TABLE dbo.tblRadniDan (
    IDDana int NOT NULL PRIMARY KEY,
    NazivDana nvarchar(50) NOT NULL
);
CREATE TABLE dbo.tblNedozvoljeneAktivnosti (
    IDDana int NOT NULL REFERENCES dbo.tblRadniDan (IDDana),
    IDLogickeAktivnosti int NOT NULL REFERENCES dbo.LogickaAktivnost (IDLogickeAktivnosti),
    PRIMARY KEY (IDDana, IDLogickeAktivnosti)
);
CREATE TABLE dbo.tblPraznik (
    Datum date NOT NULL PRIMARY KEY,
    NazivPraznika nvarchar(100) NOT NULL
);

-- Clockings by card, and each employee's newest clocking.
CREATE TABLE dbo.tblReg (
    IDReg int IDENTITY(1, 1) NOT NULL PRIMARY KEY,
    IDNo varchar(8) NOT NULL,
    TerminalskoVremeRegistracije datetime NOT NULL,
    IDLogickeAktivnosti int NOT NULL,
    IDHACT int NULL,
    Nevidljiva int NOT NULL DEFAULT 0
);
CREATE INDEX ixRegIDNo ON dbo.tblReg (IDNo, TerminalskoVremeRegistracije);
CREATE TABLE dbo.tblLastReg (
    IDZaposlenog int NOT NULL PRIMARY KEY,
    DatumLastReg datetime NOT NULL,
    IDLogickeAktivnosti int NOT NULL
);

-- Each employee's day type today, kept by sp_popuni_TekuciRbrUC.
CREATE TABLE dbo.tblTekuciRadniDan (
    IDZaposlenog int NOT NULL PRIMARY KEY,
    IDDana int NOT NULL,
    Datum date NOT NULL
);

-- Visitors.
CREATE TABLE dbo.tblPartner (
    IDPartnera int NOT NULL PRIMARY KEY,
    PartnerFullName nvarchar(150) NOT NULL
);
CREATE TABLE dbo.tblPartnerEvent (
    IDEvent int IDENTITY(1, 1) NOT NULL PRIMARY KEY,
    IDPartnera int NOT NULL REFERENCES dbo.tblPartner (IDPartnera),
    GuestName nvarchar(120) NOT NULL,
    ReasonDescription nvarchar(200) NULL,
    IDZaposlenog int NULL,
    Enter datetime NOT NULL,
    [Exit] datetime NULL
);
GO

CREATE VIEW dbo.viewPhoto AS
SELECT z.IDZaposlenog, z.Prezime, z.Ime, m.IDNo, z.Fotografija, z.IDSektora
FROM dbo.tblZaposleni z
LEFT JOIN dbo.tblMediaID m ON m.IDZaposlenog = z.IDZaposlenog AND m.VaziDo IS NULL;
GO
CREATE VIEW dbo.viewMediaIDActive AS
SELECT m.IDZaposlenog, m.IDNo, z.Prezime, z.Ime
FROM dbo.tblMediaID m
JOIN dbo.tblZaposleni z ON z.IDZaposlenog = m.IDZaposlenog
WHERE m.VaziDo IS NULL;
GO
CREATE VIEW dbo.viewMediaIDHist AS
SELECT m.IDZaposlenog, z.Prezime, z.Ime, m.IDNo, m.VaziOd, m.VaziDo, z.IDSektora, s.NazivSektora
FROM dbo.tblMediaID m
JOIN dbo.tblZaposleni z ON z.IDZaposlenog = m.IDZaposlenog
LEFT JOIN dbo.Sektor s ON s.IDSektora = z.IDSektora;
GO
CREATE VIEW dbo.view_TekuciRadniDan AS
SELECT IDZaposlenog, IDDana, Datum FROM dbo.tblTekuciRadniDan;
GO
CREATE VIEW dbo.ViewPartnerEvents AS
SELECT e.IDEvent, p.PartnerFullName, e.GuestName, e.ReasonDescription, z.Prezime AS LastName, z.Ime AS FirstName,
       e.IDZaposlenog, e.Enter, e.[Exit] AS [Exit]
FROM dbo.tblPartnerEvent e
JOIN dbo.tblPartner p ON p.IDPartnera = e.IDPartnera
LEFT JOIN dbo.tblZaposleni z ON z.IDZaposlenog = e.IDZaposlenog;
GO

-- Brings today's day types up to date: rows of another day and of removed employees go,
-- employees without a row get today's type (a working day on Saturday for those who work
-- Saturdays). On an up-to-date table it changes nothing, so it is cheap to run before every read.
CREATE PROCEDURE dbo.sp_popuni_TekuciRbrUC
AS
BEGIN
    SET NOCOUNT ON;
    DECLARE @danas date = CAST(GETDATE() AS date);
    -- 7 January 1900 was a Sunday; counting from it does not depend on SET DATEFIRST.
    DECLARE @danUNedelji int = DATEDIFF(day, '19000107', @danas) % 7;
    DECLARE @tip int = CASE
        WHEN EXISTS (SELECT 1 FROM dbo.tblPraznik WHERE Datum = @danas) THEN 4
        WHEN @danUNedelji = 0 THEN 3
        WHEN @danUNedelji = 6 THEN 2
        ELSE 1 END;

    DELETE FROM dbo.tblTekuciRadniDan
    WHERE Datum <> @danas OR IDZaposlenog NOT IN (SELECT IDZaposlenog FROM dbo.tblZaposleni);

    INSERT INTO dbo.tblTekuciRadniDan (IDZaposlenog, IDDana, Datum)
    SELECT z.IDZaposlenog, CASE WHEN @tip = 2 AND z.RadiSubotom <> 0 THEN 1 ELSE @tip END, @danas
    FROM dbo.tblZaposleni z
    WHERE NOT EXISTS (SELECT 1 FROM dbo.tblTekuciRadniDan c WHERE c.IDZaposlenog = z.IDZaposlenog);
END
GO

-- Sample rows ----------------------------------------------------------------------------------

INSERT INTO dbo.Sektor (IDSektora, NazivSektora) VALUES
    (1, N'Management'), (2, N'Finance'), (3, N'Sales'), (7, N'Security');

INSERT INTO dbo.tblZaposleni (IDZaposlenog, Prezime, Ime, IDSektora, RadiSubotom) VALUES
    (1001, N'Petrović', N'Marko', 1, 0),
    (1002, N'Jovanović', N'Jelena', 2, 0),
    (1003, N'Đorđević', N'Nikola', 3, 0),
    (1004, N'Kovačević', N'Ana', 3, 0),
    (1005, N'Živković', N'Dušan', 7, 1),
    (1006, N'Šarić', N'Milica', 2, 0); -- new: has a card, never clocked

-- Employee 1003 changed cards thirty days ago.
INSERT INTO dbo.tblMediaID (IDZaposlenog, IDNo, VaziOd, VaziDo) VALUES
    (1001, 'HiDr01a3f1c20b17', '20240101', NULL),
    (1002, 'MfCl0200d4e5f642', '20240101', NULL),
    (1003, 'EmRn0377b0c1aa05', '20240101', DATEADD(day, -30, CAST(CAST(GETDATE() AS date) AS datetime))),
    (1003, 'NfCt049e8d7c6b31', DATEADD(day, -30, CAST(CAST(GETDATE() AS date) AS datetime)), NULL),
    (1004, 'HiDr01c0ffee1288', '20240101', NULL),
    (1005, 'MfCl025eed5eed90', '20240101', NULL),
    (1006, 'EmRn03dead4bee22', '20240101', NULL);

INSERT INTO dbo.LogickaAktivnost (IDLogickeAktivnosti, OpisLogAkt, Kalendarska) VALUES
    (1, N'Arrival', 0), (2, N'Departure', 0), (3, N'Business trip', 0), (4, N'Break', 0),
    (5, N'Return from break', 0), (6, N'Private exit', 0), (7, N'Official exit', 0), (8, N'Doctor', 0),
    (9, N'Sick leave', 0), (10, N'Overtime', 0), (11, N'Weekend duty', 0), (12, N'Training', 0),
    (13, N'Annual leave', 1), (14, N'Maternity leave', 1), (15, N'Public holiday', 1);

INSERT INTO dbo.tblLogActGroup (ID, NazivGrupe) VALUES (1, N'At work'), (2, N'Away'), (3, N'On duty elsewhere');
INSERT INTO dbo.tblLogActGroupDet (ID, LogActID) VALUES
    (1, 1), (1, 5), (1, 10), (1, 11), (2, 2), (2, 6), (2, 8), (2, 9), (2, 13), (3, 3), (3, 7), (3, 12);

INSERT INTO dbo.tblRadniDan (IDDana, NazivDana) VALUES
    (1, N'Working day'), (2, N'Saturday'), (3, N'Sunday'), (4, N'Holiday');
-- Every day type forbids something, so an illegal clocking can be tried on any day.
INSERT INTO dbo.tblNedozvoljeneAktivnosti (IDDana, IDLogickeAktivnosti) VALUES
    (1, 11), (2, 3), (2, 12), (3, 3), (3, 12), (4, 1), (4, 3), (4, 12);

DECLARE @year int = YEAR(GETDATE()) - 1;
WHILE @year <= YEAR(GETDATE()) + 1
BEGIN
    INSERT INTO dbo.tblPraznik (Datum, NazivPraznika) VALUES
        (DATEFROMPARTS(@year, 1, 1), N'New Year'), (DATEFROMPARTS(@year, 1, 2), N'New Year'),
        (DATEFROMPARTS(@year, 1, 7), N'Christmas'), (DATEFROMPARTS(@year, 2, 15), N'Statehood Day'),
        (DATEFROMPARTS(@year, 2, 16), N'Statehood Day'), (DATEFROMPARTS(@year, 5, 1), N'Labour Day'),
        (DATEFROMPARTS(@year, 5, 2), N'Labour Day'), (DATEFROMPARTS(@year, 11, 11), N'Armistice Day');
    SET @year = @year + 1;
END;

-- Clockings relative to today; card numbers are characters 7 to 14 of IDNo.
DECLARE @today datetime = CAST(CAST(GETDATE() AS date) AS datetime);
INSERT INTO dbo.tblReg (IDNo, TerminalskoVremeRegistracije, IDLogickeAktivnosti, IDHACT, Nevidljiva) VALUES
    ('77b0c1aa', DATEADD(minute, -40 * 1440 + 480, @today), 1, 1, 0),
    ('77b0c1aa', DATEADD(minute, -40 * 1440 + 965, @today), 2, 1, 0),
    ('a3f1c20b', DATEADD(minute, -1440 + 475, @today), 1, 1, 0),
    ('a3f1c20b', DATEADD(minute, -1440 + 960, @today), 2, 2, 0),
    ('00d4e5f6', DATEADD(minute, -1440 + 500, @today), 1, 2, 0),
    ('00d4e5f6', DATEADD(minute, -1440 + 990, @today), 2, 2, 0),
    ('9e8d7c6b', DATEADD(minute, -1440 + 455, @today), 1, 3, 0),
    ('9e8d7c6b', DATEADD(minute, -1440 + 1000, @today), 2, NULL, 0),
    ('c0ffee12', DATEADD(minute, -3 * 1440 + 470, @today), 9, 1, 0),
    ('5eed5eed', DATEADD(minute, -1440 + 360, @today), 1, 4, 0),
    ('5eed5eed', DATEADD(minute, -1440 + 1080, @today), 2, 4001, 0),
    ('a3f1c20b', DATEADD(minute, 470, @today), 1, 1, 0),
    ('00d4e5f6', DATEADD(minute, 485, @today), 1, 2, 0),
    ('9e8d7c6b', DATEADD(minute, 462, @today), 1, 3, 0),
    ('00d4e5f6', DATEADD(minute, 700, @today), 4, 2, 1);

-- The newest clocking of each employee over all of the employee's cards.
INSERT INTO dbo.tblLastReg (IDZaposlenog, DatumLastReg, IDLogickeAktivnosti)
SELECT x.IDZaposlenog, x.TerminalskoVremeRegistracije, x.IDLogickeAktivnosti
FROM (
    SELECT m.IDZaposlenog, r.TerminalskoVremeRegistracije, r.IDLogickeAktivnosti,
           ROW_NUMBER() OVER (PARTITION BY m.IDZaposlenog
                              ORDER BY r.TerminalskoVremeRegistracije DESC, r.IDReg DESC) AS Redosled
    FROM dbo.tblReg r
    JOIN dbo.tblMediaID m ON SUBSTRING(m.IDNo, 7, 8) = r.IDNo
) x
WHERE x.Redosled = 1;

INSERT INTO dbo.tblPartner (IDPartnera, PartnerFullName) VALUES
    (1, N'Northwind Traders'), (2, N'Contoso d.o.o.'), (3, N'Fabrikam');
-- Two visitors inside, one gone.
INSERT INTO dbo.tblPartnerEvent (IDPartnera, GuestName, ReasonDescription, IDZaposlenog, Enter, [Exit]) VALUES
    (1, N'Ana Lukić', N'Meeting', 1001, DATEADD(minute, 540, @today), DATEADD(minute, 610, @today)),
    (2, N'Goran Simić', N'Delivery', 1004, DATEADD(minute, 560, @today), NULL),
    (3, N'Vesna Ilić', N'Audit', 1002, DATEADD(minute, 590, @today), NULL);

EXEC dbo.sp_popuni_TekuciRbrUC;
GO
