<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<!-- The program's texts in Serbian (Latin script), one message per text id. Open this file
     in Qt Linguist, or edit the <translation> elements directly; <source> is the English text. -->
<TS version="2.1" language="sr_Latn">
<context>
    <name></name>
    <message id="dlg.1036.title">
        <source>Colours</source>
        <translation>Boje</translation>
    </message>
    <message id="dlg.1036.1014">
        <source>Colour</source>
        <translation>Boja</translation>
    </message>
    <message id="dlg.1036.1">
        <source>OK</source>
        <translation>U redu</translation>
    </message>
    <message id="dlg.1036.2">
        <source>Cancel</source>
        <translation>Otkaži</translation>
    </message>
    <message id="palette.1">
        <source>Black</source>
        <translation>Crna</translation>
    </message>
    <message id="palette.2">
        <source>Brown</source>
        <translation>Braon</translation>
    </message>
    <message id="palette.3">
        <source>Dark Olive Green</source>
        <translation>Tamnomaslinasta</translation>
    </message>
    <message id="palette.4">
        <source>Dark Green</source>
        <translation>Tamnozelena</translation>
    </message>
    <message id="palette.5">
        <source>Dark Teal</source>
        <translation>Tamnotirkizna</translation>
    </message>
    <message id="palette.6">
        <source>Dark blue</source>
        <translation>Tamnoplava</translation>
    </message>
    <message id="palette.7">
        <source>Indigo</source>
        <translation>Indigo</translation>
    </message>
    <message id="palette.8">
        <source>Dark grey</source>
        <translation>Tamnosiva</translation>
    </message>
    <message id="palette.9">
        <source>Dark red</source>
        <translation>Tamnocrvena</translation>
    </message>
    <message id="palette.10">
        <source>Orange</source>
        <translation>Narandžasta</translation>
    </message>
    <message id="palette.11">
        <source>Dark yellow</source>
        <translation>Tamnožuta</translation>
    </message>
    <message id="palette.12">
        <source>Green</source>
        <translation>Zelena</translation>
    </message>
    <message id="palette.13">
        <source>Teal</source>
        <translation>Tirkizna</translation>
    </message>
    <message id="palette.14">
        <source>Blue</source>
        <translation>Plava</translation>
    </message>
    <message id="palette.15">
        <source>Blue-grey</source>
        <translation>Plavosiva</translation>
    </message>
    <message id="palette.16">
        <source>Grey - 40</source>
        <translation>Siva - 40</translation>
    </message>
    <message id="palette.17">
        <source>Red</source>
        <translation>Crvena</translation>
    </message>
    <message id="palette.18">
        <source>Light orange</source>
        <translation>Svetlonarandžasta</translation>
    </message>
    <message id="palette.19">
        <source>Lime</source>
        <translation>Limeta</translation>
    </message>
    <message id="palette.20">
        <source>Sea green</source>
        <translation>Morskozelena</translation>
    </message>
    <message id="palette.21">
        <source>Aqua</source>
        <translation>Akva</translation>
    </message>
    <message id="palette.22">
        <source>Light blue</source>
        <translation>Svetloplava</translation>
    </message>
    <message id="palette.23">
        <source>Violet</source>
        <translation>Ljubičasta</translation>
    </message>
    <message id="palette.24">
        <source>Grey - 50</source>
        <translation>Siva - 50</translation>
    </message>
    <message id="palette.25">
        <source>Pink</source>
        <translation>Ružičasta</translation>
    </message>
    <message id="palette.26">
        <source>Gold</source>
        <translation>Zlatna</translation>
    </message>
    <message id="palette.27">
        <source>Yellow</source>
        <translation>Žuta</translation>
    </message>
    <message id="palette.28">
        <source>Bright green</source>
        <translation>Jarkozelena</translation>
    </message>
    <message id="palette.29">
        <source>Turquoise</source>
        <translation>Tirkiz</translation>
    </message>
    <message id="palette.30">
        <source>Skyblue</source>
        <translation>Nebeskoplava</translation>
    </message>
    <message id="palette.31">
        <source>Plum</source>
        <translation>Šljiva</translation>
    </message>
    <message id="palette.32">
        <source>Light grey</source>
        <translation>Svetlosiva</translation>
    </message>
    <message id="palette.33">
        <source>Rose</source>
        <translation>Ruža</translation>
    </message>
    <message id="palette.34">
        <source>Tan</source>
        <translation>Preplanula</translation>
    </message>
    <message id="palette.35">
        <source>Light yellow</source>
        <translation>Svetložuta</translation>
    </message>
    <message id="palette.36">
        <source>Pale green </source>
        <translation>Bledozelena</translation>
    </message>
    <message id="palette.37">
        <source>Pale turquoise</source>
        <translation>Bledotirkizna</translation>
    </message>
    <message id="palette.38">
        <source>Pale blue</source>
        <translation>Bledoplava</translation>
    </message>
    <message id="palette.39">
        <source>Lavender</source>
        <translation>Lavanda</translation>
    </message>
    <message id="palette.40">
        <source>White</source>
        <translation>Bela</translation>
    </message>
    <message id="1029">
        <source>
View
View
Zorvik Files (*.zvl)
.zvl
Zorvik.Document
Zorvik Document</source>
        <translation>
Prikaz
Prikaz
Zorvik datoteke (*.zvl)
.zvl
Zorvik.Document
Zorvik dokument</translation>
    </message>
    <message id="1031">
        <source>All</source>
        <translation>Sve</translation>
    </message>
    <message id="1032">
        <source>In order for new language settings to take effect,
you need to restart the application.</source>
        <translation>Da bi nova podešavanja jezika imala efekta,
potrebno je ponovo pokrenuti aplikaciju.</translation>
    </message>
    <message id="1033">
        <source>You must select database.</source>
        <translation>Morate izabrati bazu podataka.</translation>
    </message>
    <message id="1034">
        <source>Unable to open database:
%s</source>
        <translation>Nije moguće otvoriti bazu podataka:
%s</translation>
    </message>
    <message id="1035">
        <source>Unable to open table tblDepartments in database:
%s</source>
        <translation>Nije moguće otvoriti tabelu tblDepartments u bazi podataka:
%s</translation>
    </message>
    <message id="1036">
        <source>Unable to open table tblEmployees in database:
%s</source>
        <translation>Nije moguće otvoriti tabelu tblEmployees u bazi podataka:
%s</translation>
    </message>
    <message id="1037">
        <source>Unable to open table tblAct in database:
%s</source>
        <translation>Nije moguće otvoriti tabelu tblAct u bazi podataka:
%s</translation>
    </message>
    <message id="1038">
        <source>Unable to open table tblLastReg in database:
%s</source>
        <translation>Nije moguće otvoriti tabelu tblLastReg u bazi podataka:
%s</translation>
    </message>
    <message id="1039">
        <source>Startup panel file '%s' no longer exists.</source>
        <translation>Datoteka panoa za pokretanje '%s' više ne postoji.</translation>
    </message>
    <message id="1040">
        <source>Not connected to database. Check your database settings.</source>
        <translation>Nema veze sa bazom podataka. Proverite podešavanja baze.</translation>
    </message>
    <message id="1041">
        <source>Connected to database</source>
        <translation>Povezano sa bazom podataka</translation>
    </message>
    <message id="1042">
        <source>Panel</source>
        <translation>Pano</translation>
    </message>
    <message id="1043">
        <source>Unable to store data to file:
%s</source>
        <translation>Nije moguće sačuvati podatke u datoteku:
%s</translation>
    </message>
    <message id="1044">
        <source>Choose employees</source>
        <translation>Izbor zaposlenih</translation>
    </message>
    <message id="1045">
        <source>Last name</source>
        <translation>Prezime</translation>
    </message>
    <message id="1046">
        <source>First name</source>
        <translation>Ime</translation>
    </message>
    <message id="1047">
        <source>MediaID</source>
        <translation>ID kartice</translation>
    </message>
    <message id="1048">
        <source>EmpID</source>
        <translation>ID zap.</translation>
    </message>
    <message id="1049">
        <source>Page title is empty.</source>
        <translation>Naslov strane je prazan.</translation>
    </message>
    <message id="1050">
        <source>Colour</source>
        <translation>Boja</translation>
    </message>
    <message id="1051">
        <source>Activity</source>
        <translation>Aktivnost</translation>
    </message>
    <message id="1052">
        <source>ID</source>
        <translation>ID</translation>
    </message>
    <message id="1053">
        <source>Automatic</source>
        <translation>Automatski</translation>
    </message>
    <message id="1054">
        <source>More colours...</source>
        <translation>Još boja...</translation>
    </message>
    <message id="1055">
        <source>%Y-%m-%d</source>
        <translation>%d.%m.%Y.</translation>
    </message>
    <message id="1057">
        <source>
Guests
Guests
Zorvik Guests Files (*.zvg)
.zvg
ZorvikGuests.Document
ZorvikGuests Document</source>
        <translation>
Gosti
Gosti
Zorvik datoteke gostiju (*.zvg)
.zvg
ZorvikGuests.Document
Zorvik dokument gostiju</translation>
    </message>
    <message id="1065">
        <source>Background image not selected.</source>
        <translation>Slika pozadine nije izabrana.</translation>
    </message>
    <message id="1066">
        <source>Partner</source>
        <translation>Partner</translation>
    </message>
    <message id="1067">
        <source>Guest</source>
        <translation>Gost</translation>
    </message>
    <message id="1068">
        <source>Reason</source>
        <translation>Razlog</translation>
    </message>
    <message id="1069">
        <source>Entered</source>
        <translation>Ulaz</translation>
    </message>
    <message id="1070">
        <source>Host</source>
        <translation>Domaćin</translation>
    </message>
    <message id="1071">
        <source>Guests</source>
        <translation>Gosti</translation>
    </message>
    <message id="1072">
        <source>
Presence
Presence
Zorvik Presence Files (*.zvg)
.zvg
ZorvikPresence.Document
ZorvikPresence Document</source>
        <translation>
Prisutnost
Prisutnost
Zorvik datoteke prisutnosti (*.zvg)
.zvg
ZorvikPresence.Document
Zorvik dokument prisutnosti</translation>
    </message>
    <message id="1073">
        <source>Presence</source>
        <translation>Prisutnost</translation>
    </message>
    <message id="1075">
        <source>Last activity</source>
        <translation>Poslednja aktivnost</translation>
    </message>
    <message id="1077">
        <source>Date and time</source>
        <translation>Datum i vreme</translation>
    </message>
    <message id="1078">
        <source>You must restart the application in order to use new database settings.</source>
        <translation>Morate ponovo pokrenuti aplikaciju da biste koristili nova podešavanja baze podataka.</translation>
    </message>
    <message id="1079">
        <source>Are you sure you wish to remove all employees from the current panel?</source>
        <translation>Da li sigurno želite da uklonite sve zaposlene sa tekućeg panoa?</translation>
    </message>
    <message id="1082">
        <source>Department</source>
        <translation>Sektor</translation>
    </message>
    <message id="1083">
        <source>
Report
Report
Zorvik Report (*.zvr)
.zvr
ZorvikReport.Document
ZorvikReport Document</source>
        <translation>
Izveštaj
Izveštaj
Zorvik izveštaj (*.zvr)
.zvr
ZorvikReport.Document
Zorvik dokument izveštaja</translation>
    </message>
    <message id="1084">
        <source>Zorvik Report</source>
        <translation>Zorvik izveštaj</translation>
    </message>
    <message id="1087">
        <source>Unable to open table tblLogActGroup in database:
%s</source>
        <translation>Nije moguće otvoriti tabelu tblLogActGroup u bazi podataka:
%s</translation>
    </message>
    <message id="1088">
        <source>Group</source>
        <translation>Grupa</translation>
    </message>
    <message id="1090">
        <source>Day Type</source>
        <translation>Tip dana</translation>
    </message>
    <message id="1091">
        <source>Unable to open tblNedozvoljeneAktivnosti in database:
%s</source>
        <translation>Nije moguće otvoriti tblNedozvoljeneAktivnosti u bazi podataka:
%s</translation>
    </message>
    <message id="1092">
        <source>All</source>
        <translation>Sve</translation>
    </message>
    <message id="1093">
        <source>All</source>
        <translation>Sve</translation>
    </message>
    <message id="1094">
        <source>All</source>
        <translation>Svi</translation>
    </message>
    <message id="57600">
        <source>Create a new panel
New</source>
        <translation>Pravljenje novog panoa
Novi</translation>
    </message>
    <message id="57601">
        <source>Open an existing panel
Open</source>
        <translation>Otvaranje postojećeg panoa
Otvori</translation>
    </message>
    <message id="57602">
        <source>Close the active window
Close</source>
        <translation>Zatvaranje aktivnog prozora
Zatvori</translation>
    </message>
    <message id="57603">
        <source>Save the active panel
Save</source>
        <translation>Čuvanje aktivnog panoa
Sačuvaj</translation>
    </message>
    <message id="57604">
        <source>Save the active panel with a new name
Save As</source>
        <translation>Čuvanje aktivnog panoa pod novim imenom
Sačuvaj kao</translation>
    </message>
    <message id="57607">
        <source>Print the last activity report of the panel
Print</source>
        <translation>Štampanje izveštaja o poslednjoj aktivnosti za pano
Štampaj</translation>
    </message>
    <message id="57664">
        <source>Display program information and version
About</source>
        <translation>Prikaz podataka o programu i verziji
O programu</translation>
    </message>
    <message id="57665">
        <source>Quit the application
Exit</source>
        <translation>Izlazak iz aplikacije
Izlaz</translation>
    </message>
    <message id="59392">
        <source>Show or hide the toolbar
Toggle ToolBar</source>
        <translation>Prikaz ili skrivanje trake s alatkama
Traka s alatkama</translation>
    </message>
    <message id="59393">
        <source>Show or hide the status bar
Toggle StatusBar</source>
        <translation>Prikaz ili skrivanje statusne trake
Statusna traka</translation>
    </message>
    <message id="34002">
        <source>Choose the colour of each activity
Colours</source>
        <translation>Izbor boje za svaku aktivnost
Boje</translation>
    </message>
    <message id="34003">
        <source>Choose the employees of the current panel
Employees</source>
        <translation>Izbor zaposlenih na tekućem panou
Zaposleni</translation>
    </message>
    <message id="34004">
        <source>Choose the database and the refresh rate
Database server</source>
        <translation>Izbor baze podataka i učestalosti osvežavanja
Server baze podataka</translation>
    </message>
    <message id="34005">
        <source>Choose the panels that open at startup
Open at startup</source>
        <translation>Izbor panoa koji se otvaraju pri pokretanju
Otvaranje pri pokretanju</translation>
    </message>
    <message id="34006">
        <source>Close all windows
Close all</source>
        <translation>Zatvaranje svih prozora
Zatvori sve</translation>
    </message>
    <message id="34009">
        <source>Choose how names are shown on the tablets
Name display format</source>
        <translation>Izbor načina prikaza imena na pločicama
Format prikaza imena</translation>
    </message>
    <message id="34010">
        <source>Choose the user interface language
Languages</source>
        <translation>Izbor jezika korisničkog interfejsa
Jezici</translation>
    </message>
    <message id="34011">
        <source>Arrange the tablets in rows
Arrange horizontally</source>
        <translation>Raspoređivanje pločica u redove
Rasporedi vodoravno</translation>
    </message>
    <message id="34012">
        <source>Arrange the tablets in columns
Arrange vertically</source>
        <translation>Raspoređivanje pločica u kolone
Rasporedi uspravno</translation>
    </message>
    <message id="34014">
        <source>Expand all tablets in the current panel
Expand all</source>
        <translation>Proširivanje svih pločica na tekućem panou
Proširi sve</translation>
    </message>
    <message id="34015">
        <source>Collapse all tablets in the current panel
Collapse all</source>
        <translation>Skupljanje svih pločica na tekućem panou
Skupi sve</translation>
    </message>
    <message id="34016">
        <source>Find employees by name
Find</source>
        <translation>Pronalaženje zaposlenih po imenu
Pronađi</translation>
    </message>
    <message id="34017">
        <source>Show the visitors in the building
Guests</source>
        <translation>Prikaz posetilaca u zgradi
Gosti</translation>
    </message>
    <message id="34018">
        <source>Show the last activity of every employee
Presences</source>
        <translation>Prikaz poslednje aktivnosti svakog zaposlenog
Prisutnost</translation>
    </message>
    <message id="34019">
        <source>Remove all employees from the current panel
Remove all</source>
        <translation>Uklanjanje svih zaposlenih sa tekućeg panoa
Ukloni sve</translation>
    </message>
    <message id="34020">
        <source>Enlarge the tablet of the newest clocking
Expand Latest</source>
        <translation>Uvećavanje pločice sa najnovijim očitavanjem
Proširi najnoviju</translation>
    </message>
    <message id="34030">
        <source>Build the last activity report
Last activity</source>
        <translation>Pravljenje izveštaja o poslednjoj aktivnosti
Poslednja aktivnost</translation>
    </message>
    <message id="demodb.error.folder">
        <source>Unable to create the folder of the demo database:
%1</source>
        <translation>Nije moguće napraviti fasciklu demo baze podataka:
%1</translation>
    </message>
    <message id="demodb.error.create">
        <source>Unable to create the demo database %1:
%2</source>
        <translation>Nije moguće napraviti demo bazu podataka %1:
%2</translation>
    </message>
    <message id="demodb.error.open">
        <source>Unable to open the demo database %1:
%2</source>
        <translation>Nije moguće otvoriti demo bazu podataka %1:
%2</translation>
    </message>
    <message id="demodb.error.replace">
        <source>Unable to replace the demo database %1.</source>
        <translation>Nije moguće zameniti demo bazu podataka %1.</translation>
    </message>
    <message id="demodb.error.photo">
        <source>Unable to encode a photograph.</source>
        <translation>Nije moguće kodirati fotografiju.</translation>
    </message>
    <message id="demodb.error.missing">
        <source>The demo database %1 does not exist.</source>
        <translation>Demo baza podataka %1 ne postoji.</translation>
    </message>
    <message id="dlg.1049.title">
        <source>Warning</source>
        <translation>Upozorenje</translation>
    </message>
    <message id="dlg.1049.text">
        <source>No default language found or no language libraries found. Using English.</source>
        <translation>Nije pronađen podrazumevani jezik ili nema jezičkih biblioteka. Koristi se engleski.</translation>
    </message>
    <message id="dlg.1049.1046">
        <source>Show this warning again</source>
        <translation>Prikaži ovo upozorenje ponovo</translation>
    </message>
    <message id="dlg.1049.1">
        <source>OK</source>
        <translation>U redu</translation>
    </message>
    <message id="dlg.1048.title">
        <source>Languages</source>
        <translation>Jezici</translation>
    </message>
    <message id="dlg.1048.label">
        <source>&amp;Select language</source>
        <translation>&amp;Izaberite jezik</translation>
    </message>
    <message id="dlg.1048.1045">
        <source>Show warning if no languages found</source>
        <translation>Upozori ako nije pronađen nijedan jezik</translation>
    </message>
    <message id="dlg.1048.1">
        <source>OK</source>
        <translation>U redu</translation>
    </message>
    <message id="dlg.1048.2">
        <source>Cancel</source>
        <translation>Otkaži</translation>
    </message>
    <message id="menu.file">
        <source>&amp;File</source>
        <translation>&amp;Datoteka</translation>
    </message>
    <message id="menu.view">
        <source>&amp;View</source>
        <translation>&amp;Prikaz</translation>
    </message>
    <message id="menu.reports">
        <source>&amp;Reports</source>
        <translation>&amp;Izveštaji</translation>
    </message>
    <message id="menu.help">
        <source>&amp;Help</source>
        <translation>Pomo&amp;ć</translation>
    </message>
    <message id="menu.57600">
        <source>&amp;New&#9;Ctrl+N</source>
        <translation>&amp;Novi&#9;Ctrl+N</translation>
    </message>
    <message id="menu.57601">
        <source>&amp;Open...&#9;Ctrl+O</source>
        <translation>&amp;Otvori...&#9;Ctrl+O</translation>
    </message>
    <message id="menu.34005">
        <source>Open at startup...</source>
        <translation>Otvaranje pri pokretanju...</translation>
    </message>
    <message id="menu.57603">
        <source>&amp;Save&#9;Ctrl+S</source>
        <translation>&amp;Sačuvaj&#9;Ctrl+S</translation>
    </message>
    <message id="menu.57604">
        <source>Save &amp;As...</source>
        <translation>Sačuvaj &amp;kao...</translation>
    </message>
    <message id="menu.57602">
        <source>&amp;Close&#9;Ctrl+W</source>
        <translation>&amp;Zatvori&#9;Ctrl+W</translation>
    </message>
    <message id="menu.34006">
        <source>Close all</source>
        <translation>Zatvori sve</translation>
    </message>
    <message id="menu.57607">
        <source>Print...&#9;Ctrl+P</source>
        <translation>Štampaj...&#9;Ctrl+P</translation>
    </message>
    <message id="menu.57665">
        <source>E&amp;xit&#9;Ctrl+Q</source>
        <translation>&amp;Izlaz&#9;Ctrl+Q</translation>
    </message>
    <message id="menu.59392">
        <source>&amp;Toolbar</source>
        <translation>&amp;Traka s alatkama</translation>
    </message>
    <message id="menu.59393">
        <source>&amp;Status Bar</source>
        <translation>&amp;Statusna traka</translation>
    </message>
    <message id="menu.34020">
        <source>Expand Latest</source>
        <translation>Proširi najnoviju</translation>
    </message>
    <message id="menu.34003">
        <source>Employees...</source>
        <translation>Zaposleni...</translation>
    </message>
    <message id="menu.34019">
        <source>Remove all</source>
        <translation>Ukloni sve</translation>
    </message>
    <message id="menu.34017">
        <source>Guests&#9;F8</source>
        <translation>Gosti&#9;F8</translation>
    </message>
    <message id="menu.34018">
        <source>Presences</source>
        <translation>Prisutnost</translation>
    </message>
    <message id="menu.34004">
        <source>Database server...</source>
        <translation>Server baze podataka...</translation>
    </message>
    <message id="menu.34002">
        <source>Colours...</source>
        <translation>Boje...</translation>
    </message>
    <message id="menu.34009">
        <source>Name display format...</source>
        <translation>Format prikaza imena...</translation>
    </message>
    <message id="menu.34011">
        <source>Arrange horizontally</source>
        <translation>Rasporedi vodoravno</translation>
    </message>
    <message id="menu.34012">
        <source>Arrange vertically</source>
        <translation>Rasporedi uspravno</translation>
    </message>
    <message id="menu.34014">
        <source>Expand all</source>
        <translation>Proširi sve</translation>
    </message>
    <message id="menu.34015">
        <source>Collapse all</source>
        <translation>Skupi sve</translation>
    </message>
    <message id="menu.34016">
        <source>&amp;Find...&#9;Ctrl+F</source>
        <translation>&amp;Pronađi...&#9;Ctrl+F</translation>
    </message>
    <message id="menu.34010">
        <source>Languages...</source>
        <translation>Jezici...</translation>
    </message>
    <message id="menu.34030">
        <source>&amp;Last activity...</source>
        <translation>&amp;Poslednja aktivnost...</translation>
    </message>
    <message id="menu.57664">
        <source>&amp;About Zorvik...</source>
        <translation>&amp;O programu Zorvik...</translation>
    </message>
    <message id="mainframe.ready">
        <source>Ready</source>
        <translation>Spreman</translation>
    </message>
    <message id="mainframe.saveChanges">
        <source>Save changes to %s?</source>
        <translation>Sačuvati izmene u %s?</translation>
    </message>
    <message id="mainframe.openFailed">
        <source>Unable to open file:
%s</source>
        <translation>Nije moguće otvoriti datoteku:
%s</translation>
    </message>
    <message id="mainframe.openCaption">
        <source>Open</source>
        <translation>Otvaranje</translation>
    </message>
    <message id="mainframe.saveAsCaption">
        <source>Save As</source>
        <translation>Čuvanje pod imenom</translation>
    </message>
    <message id="mainframe.demoFailed">
        <source>Unable to build the demo database:
%s</source>
        <translation>Nije moguće napraviti demo bazu podataka:
%s</translation>
    </message>
    <message id="splash.subtitle">
        <source>Live presence supervision</source>
        <translation>Nadzor prisutnosti uživo</translation>
    </message>
    <message id="splash.version">
        <source>Version %s</source>
        <translation>Verzija %s</translation>
    </message>
    <message id="mainframe.connecting">
        <source>Connecting to database...</source>
        <translation>Povezivanje sa bazom podataka...</translation>
    </message>
    <message id="mainframe.toolbar">
        <source>ToolBar</source>
        <translation>Traka s alatkama</translation>
    </message>
    <message id="dlg.1032.title">
        <source>New panel</source>
        <translation>Novi pano</translation>
    </message>
    <message id="dlg.1032.label.title">
        <source>Page &amp;title</source>
        <translation>&amp;Naslov</translation>
    </message>
    <message id="dlg.1032.label.department">
        <source>Department</source>
        <translation>Sektor</translation>
    </message>
    <message id="dlg.1032.1118">
        <source>Employees</source>
        <translation>Zaposleni</translation>
    </message>
    <message id="dlg.1032.1119">
        <source>Departments</source>
        <translation>Sektori</translation>
    </message>
    <message id="dlg.1032.1018">
        <source>Check all</source>
        <translation>Označi sve</translation>
    </message>
    <message id="dlg.1032.1019">
        <source>Uncheck all</source>
        <translation>Poništi sve</translation>
    </message>
    <message id="dlg.1032.1020">
        <source>Check all</source>
        <translation>Označi sve</translation>
    </message>
    <message id="dlg.1032.1021">
        <source>Uncheck all</source>
        <translation>Poništi sve</translation>
    </message>
    <message id="dlg.1032.1048">
        <source>Arrange horizontally</source>
        <translation>Vodoravno</translation>
    </message>
    <message id="dlg.1032.1049">
        <source>Arrange vertically</source>
        <translation>Uspravno</translation>
    </message>
    <message id="dlg.1032.1059">
        <source>Background image</source>
        <translation>Slika pozadine</translation>
    </message>
    <message id="dlg.1032.1057">
        <source>Select...</source>
        <translation>Izaberi...</translation>
    </message>
    <message id="dlg.1032.1060">
        <source>Tile</source>
        <translation>Popločaj</translation>
    </message>
    <message id="dlg.1032.1">
        <source>OK</source>
        <translation>U redu</translation>
    </message>
    <message id="dlg.1032.2">
        <source>Cancel</source>
        <translation>Otkaži</translation>
    </message>
    <message id="dlg.1032.openCaption">
        <source>Open</source>
        <translation>Otvaranje</translation>
    </message>
    <message id="dlg.1032.imageFilter">
        <source>Images (*.bmp *.gif *.jpg);;Bitmap (*.bmp);;Gif (*.gif *.GIF);;Jpeg (*.jpg)</source>
        <translation>Slike (*.bmp *.gif *.jpg);;Bitmap (*.bmp);;Gif (*.gif *.GIF);;Jpeg (*.jpg)</translation>
    </message>
    <message id="tablet.empid">
        <source>EmpID: </source>
        <translation>ID zaposlenog: </translation>
    </message>
    <message id="tablet.mediaid">
        <source>MediaID: </source>
        <translation>ID kartice: </translation>
    </message>
    <message id="dlg.find.title">
        <source>Find</source>
        <translation>Pronalaženje</translation>
    </message>
    <message id="dlg.find.last">
        <source>Last name:</source>
        <translation>Prezime:</translation>
    </message>
    <message id="dlg.find.first">
        <source>First name:</source>
        <translation>Ime:</translation>
    </message>
    <message id="dlg.find.ok">
        <source>OK</source>
        <translation>U redu</translation>
    </message>
    <message id="dlg.find.cancel">
        <source>Cancel</source>
        <translation>Otkaži</translation>
    </message>
    <message id="tablet.staleTip">
        <source>Last clocking more than a day ago</source>
        <translation>Poslednja registracija je starija od jednog dana</translation>
    </message>
    <message id="tablet.illegalTip">
        <source>Activity not allowed today</source>
        <translation>Aktivnost danas nije dozvoljena</translation>
    </message>
    <message id="panel.zoomIn">
        <source>Zoom &amp;in</source>
        <translation>&amp;Uvećaj</translation>
    </message>
    <message id="panel.zoomIn.tip">
        <source>Show the panel larger, for a wall display (Ctrl+plus)</source>
        <translation>Prikazuje pano krupnije, za zidni ekran (Ctrl+plus)</translation>
    </message>
    <message id="panel.zoomOut">
        <source>Zoom &amp;out</source>
        <translation>U&amp;manji</translation>
    </message>
    <message id="panel.zoomOut.tip">
        <source>Show the panel smaller, to see more of it (Ctrl+minus)</source>
        <translation>Prikazuje pano sitnije, da se vidi veći deo (Ctrl+minus)</translation>
    </message>
    <message id="panel.zoomReset">
        <source>&amp;Actual size</source>
        <translation>&amp;Prirodna veličina</translation>
    </message>
    <message id="panel.zoomReset.tip">
        <source>Show the panel at its own size (Ctrl+0)</source>
        <translation>Prikazuje pano u njegovoj pravoj veličini (Ctrl+0)</translation>
    </message>
    <message id="panel.zoomLevel">
        <source>Zoom %1%</source>
        <translation>Uvećanje %1%</translation>
    </message>
    <message id="panel.findNone">
        <source>Nobody on this panel matches &quot;%1&quot;.</source>
        <translation>Na ovom panou niko ne odgovara traženom „%1“.</translation>
    </message>
    <message id="dlg.1055.label">
        <source>Last activity:</source>
        <translation>Poslednja aktivnost:</translation>
    </message>
    <message id="dlg.replastact.title">
        <source>Last activity report</source>
        <translation>Izveštaj o poslednjoj aktivnosti</translation>
    </message>
    <message id="dlg.replastact.mode">
        <source>Activity/Group</source>
        <translation>Aktivnost/Grupa</translation>
    </message>
    <message id="dlg.replastact.activity">
        <source>&amp;Activity</source>
        <translation>&amp;Aktivnost</translation>
    </message>
    <message id="dlg.replastact.group">
        <source>&amp;Group</source>
        <translation>&amp;Grupa</translation>
    </message>
    <message id="dlg.replastact.activityBox">
        <source>Activity</source>
        <translation>Aktivnost</translation>
    </message>
    <message id="dlg.replastact.groupBox">
        <source>Group</source>
        <translation>Grupa</translation>
    </message>
    <message id="dlg.replastact.all">
        <source>All</source>
        <translation>Sve</translation>
    </message>
    <message id="dlg.replastact.selected">
        <source>Selected</source>
        <translation>Izabrane</translation>
    </message>
    <message id="dlg.replastact.invert">
        <source>&amp;Invert</source>
        <translation>&amp;Obrni</translation>
    </message>
    <message id="dlg.replastact.invertGroup">
        <source>In&amp;vert</source>
        <translation>O&amp;brni</translation>
    </message>
    <message id="dlg.replastact.departments">
        <source>Departments</source>
        <translation>Sektori</translation>
    </message>
    <message id="dlg.replastact.moment">
        <source>Moment</source>
        <translation>Trenutak</translation>
    </message>
    <message id="dlg.replastact.now">
        <source>&amp;Now</source>
        <translation>&amp;Sada</translation>
    </message>
    <message id="dlg.replastact.unvisible">
        <source>Show &amp;invisible registrations</source>
        <translation>Prikaži &amp;nevidljiva očitavanja</translation>
    </message>
    <message id="dlg.replastact.calendar">
        <source>Show current &amp;day type</source>
        <translation>Prikaži tekući &amp;tip dana</translation>
    </message>
    <message id="dlg.replastact.sort">
        <source>Sort by</source>
        <translation>Poređaj po</translation>
    </message>
    <message id="dlg.replastact.sortTime">
        <source>Date/&amp;Time</source>
        <translation>Datumu/&amp;vremenu</translation>
    </message>
    <message id="dlg.replastact.sortDepartment">
        <source>De&amp;partment</source>
        <translation>Se&amp;ktoru</translation>
    </message>
    <message id="dlg.replastact.sortName">
        <source>&amp;Last name</source>
        <translation>&amp;Prezimenu</translation>
    </message>
    <message id="dlg.replastact.ok">
        <source>OK</source>
        <translation>U redu</translation>
    </message>
    <message id="dlg.replastact.cancel">
        <source>Cancel</source>
        <translation>Otkaži</translation>
    </message>
    <message id="34023">
        <source>Prev
Prev</source>
        <translation>Prethodna
Prethodna</translation>
    </message>
    <message id="34024">
        <source>Next
Next</source>
        <translation>Sledeća
Sledeća</translation>
    </message>
    <message id="34025">
        <source>First
First</source>
        <translation>Prva
Prva</translation>
    </message>
    <message id="34026">
        <source>Last
Last</source>
        <translation>Poslednja
Poslednja</translation>
    </message>
    <message id="34027">
        <source>Write every page of the report to a PDF file
Export PDF</source>
        <translation>Upis svih strana izveštaja u PDF datoteku
Izvoz u PDF</translation>
    </message>
    <message id="34028">
        <source>Show the pages as they will be printed
Print preview</source>
        <translation>Prikaz strana onako kako će biti odštampane
Pregled pre štampe</translation>
    </message>
    <message id="menu.34027">
        <source>Export PDF...</source>
        <translation>Izvoz u PDF...</translation>
    </message>
    <message id="menu.34028">
        <source>Print preview...</source>
        <translation>Pregled pre štampe...</translation>
    </message>
    <message id="report.page">
        <source>Page %1 of %2</source>
        <translation>Strana %1 od %2</translation>
    </message>
    <message id="report.pdfCaption">
        <source>Export PDF</source>
        <translation>Izvoz u PDF</translation>
    </message>
    <message id="report.pdfFilter">
        <source>PDF files (*.pdf)</source>
        <translation>PDF datoteke (*.pdf)</translation>
    </message>
    <message id="report.pdfFailed">
        <source>The file %s could not be written.</source>
        <translation>Datoteku %s nije moguće upisati.</translation>
    </message>
    <message id="report.pdfProgress">
        <source>Exporting page %1 of %2...</source>
        <translation>Izvoz stranice %1 od %2...</translation>
    </message>
    <message id="report.printProgress">
        <source>Printing page %1 of %2...</source>
        <translation>Štampanje stranice %1 od %2...</translation>
    </message>
    <message id="report.progressCancel">
        <source>Cancel</source>
        <translation>Otkaži</translation>
    </message>
    <message id="report.nobody">
        <source>Nothing to report: no employee matches the options.</source>
        <translation>Nema šta da se prikaže: nijedan zaposleni ne odgovara izabranim opcijama.</translation>
    </message>
    <message id="report.stopAndClose">
        <source>%1

Stop it and close the program?</source>
        <translation>%1

Zaustaviti to i zatvoriti program?</translation>
    </message>
    <message id="report.building">
        <source>Building report...</source>
        <translation>Pravljenje izveštaja...</translation>
    </message>
    <message id="report.groupEmpty">
        <source>The selected group has no activities: the report has no rows.</source>
        <translation>Izabrana grupa nema aktivnosti: izveštaj nema redova.</translation>
    </message>
    <message id="report.readFailed">
        <source>The report could not be read from the database:</source>
        <translation>Izveštaj nije moguće pročitati iz baze podataka:</translation>
    </message>
    <message id="dlg.1066.title">
        <source>Warning</source>
        <translation>Upozorenje</translation>
    </message>
    <message id="dlg.1066.1114">
        <source>ID:</source>
        <translation>ID:</translation>
    </message>
    <message id="dlg.1066.1115">
        <source>Last name:</source>
        <translation>Prezime:</translation>
    </message>
    <message id="dlg.1066.1116">
        <source>First name:</source>
        <translation>Ime:</translation>
    </message>
    <message id="dlg.1066.1018">
        <source>Date:</source>
        <translation>Datum:</translation>
    </message>
    <message id="dlg.1066.1019">
        <source>Time:</source>
        <translation>Vreme:</translation>
    </message>
    <message id="dlg.1066.1117">
        <source>Illegal activity:</source>
        <translation>Nedozvoljeno:</translation>
    </message>
    <message id="dlg.1066.1">
        <source>OK</source>
        <translation>U redu</translation>
    </message>
    <message id="dlg.autoload.title">
        <source>Open at startup</source>
        <translation>Otvaranje pri pokretanju</translation>
    </message>
    <message id="dlg.autoload.up">
        <source>&amp;Up</source>
        <translation>&amp;Gore</translation>
    </message>
    <message id="dlg.autoload.down">
        <source>Do&amp;wn</source>
        <translation>Do&amp;le</translation>
    </message>
    <message id="dlg.autoload.openNow">
        <source>Open/&amp;Arrange now</source>
        <translation>Otvori/&amp;rasporedi sada</translation>
    </message>
    <message id="dlg.autoload.add">
        <source>A&amp;dd...</source>
        <translation>&amp;Dodaj...</translation>
    </message>
    <message id="dlg.autoload.remove">
        <source>&amp;Remove</source>
        <translation>&amp;Ukloni</translation>
    </message>
    <message id="dlg.autoload.presences">
        <source>&amp;Presences tab</source>
        <translation>Kartica &amp;prisutnosti</translation>
    </message>
    <message id="dlg.autoload.guests">
        <source>&amp;Guests tab</source>
        <translation>Kartica go&amp;stiju</translation>
    </message>
    <message id="dlg.autoload.addCaption">
        <source>Add panels</source>
        <translation>Dodavanje panoa</translation>
    </message>
    <message id="dlg.autoload.filter">
        <source>Zorvik Files (*.zvl)</source>
        <translation>Zorvik datoteke (*.zvl)</translation>
    </message>
    <message id="dlg.nameFormat.title">
        <source>Name display format</source>
        <translation>Format prikaza imena</translation>
    </message>
    <message id="dlg.nameFormat.lastFirst">
        <source>&amp;Last name, first name</source>
        <translation>&amp;Prezime, ime</translation>
    </message>
    <message id="dlg.nameFormat.firstLast">
        <source>&amp;First name, last name</source>
        <translation>&amp;Ime, prezime</translation>
    </message>
    <message id="dlg.about.title">
        <source>About Zorvik</source>
        <translation>O programu Zorvik</translation>
    </message>
    <message id="dlg.about.version">
        <source>Version</source>
        <translation>Verzija</translation>
    </message>
    <message id="dlg.about.product">
        <source>Zorvik</source>
        <translation>Zorvik</translation>
    </message>
    <message id="dlg.about.qt">
        <source>Qt</source>
        <translation>Qt</translation>
    </message>
    <message id="dlg.about.database">
        <source>Database</source>
        <translation>Baza podataka</translation>
    </message>
    <message id="dlg.about.noDatabase">
        <source>none</source>
        <translation>nema</translation>
    </message>
    <message id="dlg.about.notConnected">
        <source>(not connected)</source>
        <translation>(nije povezano)</translation>
    </message>
    <message id="dlg.about.licence">
        <source>Licence</source>
        <translation>Licenca</translation>
    </message>
    <message id="dlg.about.licenceName">
        <source>GNU General Public License, version 3 or later</source>
        <translation>GNU opšta javna licenca (GPL), verzija 3 ili novija</translation>
    </message>
    <message id="dlg.about.warranty">
        <source>Zorvik is free software: you may share and change it under this licence. It comes with no warranty.</source>
        <translation>Zorvik je slobodan softver: smete da ga delite i menjate pod uslovima ove licence. Dolazi bez ikakve garancije.</translation>
    </message>
    <message id="dlg.about.sqlite">
        <source>SQLite, %s</source>
        <translation>SQLite, %s</translation>
    </message>
    <message id="demo.department.1">
        <source>Management</source>
        <translation>Uprava</translation>
    </message>
    <message id="demo.department.2">
        <source>Finance</source>
        <translation>Finansije</translation>
    </message>
    <message id="demo.department.3">
        <source>Sales</source>
        <translation>Prodaja</translation>
    </message>
    <message id="demo.department.4">
        <source>Production</source>
        <translation>Proizvodnja</translation>
    </message>
    <message id="demo.department.5">
        <source>Logistics</source>
        <translation>Logistika</translation>
    </message>
    <message id="demo.department.6">
        <source>Information technology</source>
        <translation>Informacione tehnologije</translation>
    </message>
    <message id="demo.department.7">
        <source>Security</source>
        <translation>Obezbeđenje</translation>
    </message>
    <message id="demo.department.8">
        <source>Human resources</source>
        <translation>Ljudski resursi</translation>
    </message>
    <message id="demo.department.9">
        <source>Quality</source>
        <translation>Kvalitet</translation>
    </message>
    <message id="demo.department.10">
        <source>Maintenance</source>
        <translation>Održavanje</translation>
    </message>
    <message id="demo.department.11">
        <source>Research</source>
        <translation>Istraživanje</translation>
    </message>
    <message id="demo.department.12">
        <source>Purchasing</source>
        <translation>Nabavka</translation>
    </message>
    <message id="demo.department.13">
        <source>Legal</source>
        <translation>Pravna služba</translation>
    </message>
    <message id="demo.department.14">
        <source>Marketing</source>
        <translation>Marketing</translation>
    </message>
    <message id="demo.department.15">
        <source>Warehouse</source>
        <translation>Magacin</translation>
    </message>
    <message id="demo.department.16">
        <source>Customer support</source>
        <translation>Podrška korisnicima</translation>
    </message>
    <message id="demo.department.other">
        <source>Department %1</source>
        <translation>Sektor %1</translation>
    </message>
    <message id="demo.activity.1">
        <source>Arrival</source>
        <translation>Dolazak</translation>
    </message>
    <message id="demo.activity.2">
        <source>Departure</source>
        <translation>Odlazak</translation>
    </message>
    <message id="demo.activity.3">
        <source>Business trip</source>
        <translation>Službeni put</translation>
    </message>
    <message id="demo.activity.4">
        <source>Break</source>
        <translation>Pauza</translation>
    </message>
    <message id="demo.activity.5">
        <source>Return from break</source>
        <translation>Povratak sa pauze</translation>
    </message>
    <message id="demo.activity.6">
        <source>Private exit</source>
        <translation>Privatni izlaz</translation>
    </message>
    <message id="demo.activity.7">
        <source>Official exit</source>
        <translation>Službeni izlaz</translation>
    </message>
    <message id="demo.activity.8">
        <source>Doctor</source>
        <translation>Lekar</translation>
    </message>
    <message id="demo.activity.9">
        <source>Sick leave</source>
        <translation>Bolovanje</translation>
    </message>
    <message id="demo.activity.10">
        <source>Overtime</source>
        <translation>Prekovremeni rad</translation>
    </message>
    <message id="demo.activity.11">
        <source>Weekend duty</source>
        <translation>Dežurstvo vikendom</translation>
    </message>
    <message id="demo.activity.12">
        <source>Training</source>
        <translation>Obuka</translation>
    </message>
    <message id="demo.activity.13">
        <source>Annual leave</source>
        <translation>Godišnji odmor</translation>
    </message>
    <message id="demo.activity.14">
        <source>Maternity leave</source>
        <translation>Porodiljsko odsustvo</translation>
    </message>
    <message id="demo.activity.15">
        <source>Public holiday</source>
        <translation>Državni praznik</translation>
    </message>
    <message id="demo.group.1">
        <source>At work</source>
        <translation>Na poslu</translation>
    </message>
    <message id="demo.group.2">
        <source>Away</source>
        <translation>Odsutni</translation>
    </message>
    <message id="demo.group.3">
        <source>On duty elsewhere</source>
        <translation>Na službenom zadatku</translation>
    </message>
    <message id="demo.dayType.1">
        <source>Working day</source>
        <translation>Radni dan</translation>
    </message>
    <message id="demo.dayType.2">
        <source>Saturday</source>
        <translation>Subota</translation>
    </message>
    <message id="demo.dayType.3">
        <source>Sunday</source>
        <translation>Nedelja</translation>
    </message>
    <message id="demo.dayType.4">
        <source>Holiday</source>
        <translation>Praznik</translation>
    </message>
    <message id="demo.holiday.1">
        <source>New Year</source>
        <translation>Nova godina</translation>
    </message>
    <message id="demo.holiday.2">
        <source>New Year</source>
        <translation>Nova godina</translation>
    </message>
    <message id="demo.holiday.3">
        <source>Christmas</source>
        <translation>Božić</translation>
    </message>
    <message id="demo.holiday.4">
        <source>Statehood Day</source>
        <translation>Dan državnosti</translation>
    </message>
    <message id="demo.holiday.5">
        <source>Statehood Day</source>
        <translation>Dan državnosti</translation>
    </message>
    <message id="demo.holiday.6">
        <source>Labour Day</source>
        <translation>Praznik rada</translation>
    </message>
    <message id="demo.holiday.7">
        <source>Labour Day</source>
        <translation>Praznik rada</translation>
    </message>
    <message id="demo.holiday.8">
        <source>Armistice Day</source>
        <translation>Dan primirja</translation>
    </message>
    <message id="demo.reason.1">
        <source>Meeting</source>
        <translation>Sastanak</translation>
    </message>
    <message id="demo.reason.2">
        <source>Delivery</source>
        <translation>Isporuka</translation>
    </message>
    <message id="demo.reason.3">
        <source>Job interview</source>
        <translation>Razgovor za posao</translation>
    </message>
    <message id="demo.reason.4">
        <source>Maintenance visit</source>
        <translation>Servisna poseta</translation>
    </message>
    <message id="demo.reason.5">
        <source>Audit</source>
        <translation>Revizija</translation>
    </message>
    <message id="demo.reason.6">
        <source>Training</source>
        <translation>Obuka</translation>
    </message>
    <message id="demo.panel.reception">
        <source>Reception</source>
        <translation>Recepcija</translation>
    </message>
    <message id="demo.panel.allStaff">
        <source>All staff</source>
        <translation>Svi zaposleni</translation>
    </message>
    <message id="presences.fileName">
        <source>Presences</source>
        <translation>Prisustva</translation>
    </message>
    <message id="guests.fileName">
        <source>Guests</source>
        <translation>Gosti</translation>
    </message>
    <message id="rollcall.fileName">
        <source>RollCall</source>
        <translation>Prozivka</translation>
    </message>
    <message id="a11y.notAllowed">
        <source>not allowed today</source>
        <translation>danas nije dozvoljeno</translation>
    </message>
    <message id="a11y.dayOld">
        <source>a day old</source>
        <translation>stara dan ili više</translation>
    </message>
    <message id="tablet.details">
        <source>Show &amp;details</source>
        <translation>Prikaži &amp;detalje</translation>
    </message>
    <message id="tablet.select">
        <source>&amp;Select</source>
        <translation>&amp;Izaberi</translation>
    </message>
    <message id="tablet.front">
        <source>Bring to &amp;front</source>
        <translation>Donesi na&amp;pred</translation>
    </message>
    <message id="tablet.back">
        <source>Send to &amp;back</source>
        <translation>Pošalji na&amp;zad</translation>
    </message>
    <message id="rollcall.askDrill">
        <source>A drill is running: end it, write its record and %1?</source>
        <translation>Vežba je u toku: završiti je, zapisati izveštaj i %1?</translation>
    </message>
    <message id="rollcall.askPhones">
        <source>The roll call is shared with phones (connected now: %1): stop sharing and %2?</source>
        <translation>Prozivka je podeljena sa telefonima (sada povezano: %1): prekinuti deljenje i %2?</translation>
    </message>
    <message id="rollcall.askDrillPhones">
        <source>A drill is running and phones are connected (%1): end it, stop sharing and %2?</source>
        <translation>Vežba je u toku i telefoni su povezani (%1): završiti je, prekinuti deljenje i %2?</translation>
    </message>
    <message id="rollcall.askQuit">
        <source>quit</source>
        <translation>izaći iz programa</translation>
    </message>
    <message id="rollcall.askClose">
        <source>close the roll call</source>
        <translation>zatvoriti prozivku</translation>
    </message>
    <message id="menu.34037">
        <source>&amp;Not yet in&#9;F7</source>
        <translation>&amp;Još nisu došli&#9;F7</translation>
    </message>
    <message id="34037">
        <source>List the employees who have not clocked in today
Not yet in</source>
        <translation>Spisak zaposlenih koji se danas nisu registrovali
Još nisu došli</translation>
    </message>
    <message id="legend.code">
        <source>Code</source>
        <translation>Oznaka</translation>
    </message>
    <message id="dlg.database.title">
        <source>Database</source>
        <translation>Baza podataka</translation>
    </message>
    <message id="dlg.database.connection">
        <source>Connection</source>
        <translation>Veza</translation>
    </message>
    <message id="dlg.database.change">
        <source>&amp;Change...</source>
        <translation>&amp;Promeni...</translation>
    </message>
    <message id="dlg.database.refresh">
        <source>Refresh rate</source>
        <translation>Učestalost osvežavanja</translation>
    </message>
    <message id="dlg.database.seconds">
        <source>seconds</source>
        <translation>sekundi</translation>
    </message>
    <message id="dlg.database.runOnly">
        <source>In use for this run only (given on the command line, never stored): %1</source>
        <translation>U upotrebi samo za ovo pokretanje (zadato u komandnoj liniji, ne čuva se): %1</translation>
    </message>
    <message id="dlg.database.stored">
        <source>Stored for the next start:</source>
        <translation>Sačuvano za sledeće pokretanje:</translation>
    </message>
    <message id="dlg.database.notNumber">
        <source>Please enter a whole number of seconds from 0 to 2147483647.</source>
        <translation>Unesite ceo broj sekundi od 0 do 2147483647.</translation>
    </message>
    <message id="dlg.builder.title">
        <source>Database connection</source>
        <translation>Veza sa bazom podataka</translation>
    </message>
    <message id="dlg.builder.fields">
        <source>Data source</source>
        <translation>Izvor podataka</translation>
    </message>
    <message id="dlg.builder.dataSource">
        <source>Data &amp;source name:</source>
        <translation>Ime &amp;izvora podataka:</translation>
    </message>
    <message id="dlg.builder.noDataSource">
        <source>(none)</source>
        <translation>(nema)</translation>
    </message>
    <message id="dlg.builder.driver">
        <source>&amp;Driver:</source>
        <translation>&amp;Drajver:</translation>
    </message>
    <message id="dlg.builder.server">
        <source>Se&amp;rver:</source>
        <translation>Se&amp;rver:</translation>
    </message>
    <message id="dlg.builder.port">
        <source>&amp;Port:</source>
        <translation>&amp;Port:</translation>
    </message>
    <message id="dlg.builder.database">
        <source>Data&amp;base:</source>
        <translation>&amp;Baza podataka:</translation>
    </message>
    <message id="dlg.builder.user">
        <source>&amp;User name:</source>
        <translation>&amp;Korisničko ime:</translation>
    </message>
    <message id="dlg.builder.password">
        <source>Pass&amp;word:</source>
        <translation>&amp;Lozinka:</translation>
    </message>
    <message id="dlg.builder.tdsVersion">
        <source>&amp;TDS version:</source>
        <translation>&amp;TDS verzija:</translation>
    </message>
    <message id="dlg.builder.string">
        <source>Connection str&amp;ing:</source>
        <translation>&amp;Niz za povezivanje:</translation>
    </message>
    <message id="dlg.builder.demo">
        <source>D&amp;emo database</source>
        <translation>D&amp;emo baza podataka</translation>
    </message>
    <message id="dlg.builder.test">
        <source>Test &amp;connection</source>
        <translation>Proveri &amp;vezu</translation>
    </message>
    <message id="dlg.builder.testing">
        <source>Connecting...</source>
        <translation>Povezivanje...</translation>
    </message>
    <message id="dlg.builder.testOk">
        <source>The connection succeeded.</source>
        <translation>Povezivanje je uspelo.</translation>
    </message>
    <message id="dlg.builder.testFailed">
        <source>The connection failed:
%s</source>
        <translation>Povezivanje nije uspelo:
%s</translation>
    </message>
    <message id="colours.onSite">
        <source>On site</source>
        <translation>Na lokaciji</translation>
    </message>
    <message id="34031">
        <source>List everyone on the premises now, to tick them off at the assembly point
Roll call</source>
        <translation>Spisak svih koji su sada u objektu, za prozivku na zbornom mestu
Prozivka</translation>
    </message>
    <message id="34032">
        <source>Write the rows of this window to a CSV file
Export CSV</source>
        <translation>Upiši redove ovog prozora u CSV datoteku
Izvoz CSV</translation>
    </message>
    <message id="34033">
        <source>Remove every tick of the roll call
Clear ticks</source>
        <translation>Ukloni sve oznake prozivke
Obriši oznake</translation>
    </message>
    <message id="menu.34031">
        <source>&amp;Roll call&#9;F9</source>
        <translation>&amp;Prozivka&#9;F9</translation>
    </message>
    <message id="menu.34032">
        <source>&amp;Export CSV...</source>
        <translation>I&amp;zvoz CSV...</translation>
    </message>
    <message id="menu.34033">
        <source>C&amp;lear ticks</source>
        <translation>O&amp;briši oznake</translation>
    </message>
    <message id="rollcall.title">
        <source>Roll call</source>
        <translation>Prozivka</translation>
    </message>
    <message id="rollcall.counts">
        <source>On site: %1 · Guests: %2 · Ticked: %3 of %4</source>
        <translation>Na lokaciji: %1 · Gosti: %2 · Označeno: %3 od %4</translation>
    </message>
    <message id="rollcall.stale">
        <source>Not connected since %1; list as of %2</source>
        <translation>Nema veze od %1; spisak od %2</translation>
    </message>
    <message id="rollcall.never">
        <source>never</source>
        <translation>nikad</translation>
    </message>
    <message id="rollcall.col.tick">
        <source>✓</source>
        <translation>✓</translation>
    </message>
    <message id="rollcall.col.name">
        <source>Name</source>
        <translation>Ime i prezime</translation>
    </message>
    <message id="rollcall.col.department">
        <source>Department</source>
        <translation>Sektor</translation>
    </message>
    <message id="rollcall.col.time">
        <source>Time</source>
        <translation>Vreme</translation>
    </message>
    <message id="rollcall.col.detail">
        <source>Activity / host</source>
        <translation>Aktivnost / domaćin</translation>
    </message>
    <message id="rollcall.col.company">
        <source>Company</source>
        <translation>Firma</translation>
    </message>
    <message id="rollcall.partOpen">
        <source>Not yet ticked (%1)</source>
        <translation>Još nisu označeni (%1)</translation>
    </message>
    <message id="rollcall.partTicked">
        <source>Ticked (%1)</source>
        <translation>Označeni (%1)</translation>
    </message>
    <message id="rollcall.clearAsk">
        <source>Remove every tick and start the roll call over?</source>
        <translation>Ukloniti sve oznake i početi prozivku iznova?</translation>
    </message>
    <message id="rollcall.saveFailed">
        <source>Ticks cannot be saved to %1: %2; they are kept in memory.</source>
        <translation>Oznake nije moguće sačuvati u %1: %2; čuvaju se u memoriji.</translation>
    </message>
    <message id="rollcall.noTemplate">
        <source>The report template %1 could not be read: %2</source>
        <translation>Šablon izveštaja %1 nije moguće pročitati: %2</translation>
    </message>
    <message id="csv.caption">
        <source>Export CSV</source>
        <translation>Izvoz CSV</translation>
    </message>
    <message id="csv.failed">
        <source>The file %1 could not be written: %2</source>
        <translation>Datoteku %1 nije moguće upisati: %2</translation>
    </message>
    <message id="headcount.text">
        <source>On site: %1 · Guests: %2</source>
        <translation>Na lokaciji: %1 · Gosti: %2</translation>
    </message>
    <message id="mainframe.lockDenied">
        <source>permission denied</source>
        <translation>pristup odbijen</translation>
    </message>
    <message id="mainframe.lockError">
        <source>the lock file cannot be created</source>
        <translation>datoteka zaključavanja ne može da se napravi</translation>
    </message>
    <message id="mainframe.lockFailed">
        <source>Zorvik cannot keep its lock file in the folder %1 (%2). It runs anyway, but it cannot tell whether another Zorvik is already running for you.</source>
        <translation>Zorvik ne može da drži svoju datoteku zaključavanja u fascikli %1 (%2). Radi i dalje, ali ne može da proveri da li već radi još jedan Zorvik za vas.</translation>
    </message>
    <message id="settings.notSaved">
        <source>The settings cannot be saved in %1: the changes made while the program runs are lost when it ends.</source>
        <translation>Podešavanja nije moguće sačuvati u %1: izmene napravljene dok program radi gube se kada se zatvori.</translation>
    </message>
    <message id="settings.locked">
        <source>Set by your administrator</source>
        <translation>Podesio administrator</translation>
    </message>
    <message id="settings.passwordInFile">
        <source>No keyring is available: the password is kept in the settings file %1, readable by you only.</source>
        <translation>Skladište lozinki nije dostupno: lozinka se čuva u datoteci podešavanja %1, koju čitate samo vi.</translation>
    </message>
    <message id="warning.openCount">
        <source>Open warnings: %1</source>
        <translation>Otvorenih upozorenja: %1</translation>
    </message>
    <message id="dlg.builder.conflict">
        <source>This connection string names both the demo database (Provider=SQLite) and an ODBC driver or data source. Pick one: choose a driver or data source again, or press Demo database.</source>
        <translation>Ova veza navodi i demo bazu (Provider=SQLite) i ODBC upravljački program ili izvor podataka. Izaberite jedno: ponovo izaberite upravljački program ili izvor podataka, ili pritisnite Demo baza podataka.</translation>
    </message>
    <message id="report.templateFailed">
        <source>The report template %1 cannot be used: %2</source>
        <translation>Šablon izveštaja %1 ne može da se koristi: %2</translation>
    </message>
    <message id="report.templateEmpty">
        <source>it holds nothing to draw.</source>
        <translation>ne sadrži ništa za crtanje.</translation>
    </message>
    <message id="report.gridNoRow">
        <source>its grid %1 has no room for a row.</source>
        <translation>njegova tabela %1 nema mesta ni za jedan red.</translation>
    </message>
    <message id="report.noFile">
        <source>the file does not exist.</source>
        <translation>datoteka ne postoji.</translation>
    </message>
    <message id="report.isFolder">
        <source>it is a folder, not a file.</source>
        <translation>to je fascikla, a ne datoteka.</translation>
    </message>
    <message id="report.noPages">
        <source>The report has no pages: there is nothing to export.</source>
        <translation>Izveštaj nema stranica: nema ničega za izvoz.</translation>
    </message>
    <message id="mainframe.allFiles">
        <source>All Files (*)</source>
        <translation>Sve datoteke (*)</translation>
    </message>
    <message id="csv.filterComma">
        <source>CSV files, comma separated (*.csv)</source>
        <translation>CSV datoteke, odvojeno zarezom (*.csv)</translation>
    </message>
    <message id="csv.filterSemicolon">
        <source>CSV files, semicolon separated (*.csv)</source>
        <translation>CSV datoteke, odvojeno tačkom i zarezom (*.csv)</translation>
    </message>
    <message id="rollcall.col.ended">
        <source>Ended</source>
        <translation>Kraj</translation>
    </message>
    <message id="rollcall.col.event">
        <source>Event</source>
        <translation>Događaj</translation>
    </message>
    <message id="rollcall.col.started">
        <source>Started</source>
        <translation>Početak</translation>
    </message>
    <message id="rollcall.col.status">
        <source>Status</source>
        <translation>Stanje</translation>
    </message>
    <message id="rollcall.col.tickedAt">
        <source>Ticked at</source>
        <translation>Označeno u</translation>
    </message>
    <message id="rollcall.col.tickedBy">
        <source>Ticked by</source>
        <translation>Označio/la</translation>
    </message>
    <message id="rollcall.desk">
        <source>Desk</source>
        <translation>Pult</translation>
    </message>
    <message id="rollcall.drillBanner">
        <source>%1 since %2 · %3 · Still missing: %4</source>
        <translation>%1 od %2 · %3 · Još nedostaje: %4</translation>
    </message>
    <message id="rollcall.drillNotEnded">
        <source>%1 not ended: its record could not be written (%2). Press End to try again.</source>
        <translation>%1 nije završena: zapisnik nije mogao biti zapisan (%2). Pritisnite Završi da pokušate ponovo.</translation>
    </message>
    <message id="rollcall.end">
        <source>End</source>
        <translation>Završi</translation>
    </message>
    <message id="rollcall.end.tip">
        <source>End the drill or evacuation and write its record as PDF and CSV beside the ticks file (Ctrl+Shift+X)</source>
        <translation>Završi vežbu ili evakuaciju i zapiši zapisnik kao PDF i CSV pored datoteke oznaka (Ctrl+Shift+X)</translation>
    </message>
    <message id="rollcall.endAsk.evacuation">
        <source>End the evacuation and write its record?</source>
        <translation>Završiti evakuaciju i zapisati zapisnik?</translation>
    </message>
    <message id="rollcall.endAsk.exercise">
        <source>End the drill and write its record?</source>
        <translation>Završiti vežbu i zapisati zapisnik?</translation>
    </message>
    <message id="rollcall.evacuation">
        <source>Evacuation</source>
        <translation>Evakuacija</translation>
    </message>
    <message id="rollcall.evacuationRecord">
        <source>Evacuation record</source>
        <translation>Zapisnik evakuacije</translation>
    </message>
    <message id="rollcall.eventCounts">
        <source>To account for: %1 · Found: %2 · Never found: %3 · Left the site: %4</source>
        <translation>Treba utvrditi: %1 · Pronađeno: %2 · Nije pronađeno: %3 · Napustilo lokaciju: %4</translation>
    </message>
    <message id="rollcall.eventTimes">
        <source>Started %1 · Ended %2 · Duration %3</source>
        <translation>Početak %1 · Kraj %2 · Trajanje %3</translation>
    </message>
    <message id="rollcall.exercise">
        <source>Drill</source>
        <translation>Vežba</translation>
    </message>
    <message id="rollcall.exerciseRecord">
        <source>Drill record</source>
        <translation>Zapisnik vežbe</translation>
    </message>
    <message id="rollcall.found">
        <source>Found</source>
        <translation>Pronađen</translation>
    </message>
    <message id="rollcall.missingTitle">
        <source>Still missing</source>
        <translation>Još nedostaju</translation>
    </message>
    <message id="rollcall.neverFound">
        <source>Never found</source>
        <translation>Nije pronađen</translation>
    </message>
    <message id="rollcall.noAddress">
        <source>This computer has no network address to share on.</source>
        <translation>Ovaj računar nema mrežnu adresu na kojoj bi delio.</translation>
    </message>
    <message id="rollcall.partLeft">
        <source>Left the site (%1)</source>
        <translation>Napustili lokaciju (%1)</translation>
    </message>
    <message id="rollcall.left">
        <source>Left the site</source>
        <translation>Napustio lokaciju</translation>
    </message>
    <message id="rollcall.partFound">
        <source>Found (%1)</source>
        <translation>Pronađeni (%1)</translation>
    </message>
    <message id="rollcall.partMissing">
        <source>Never found (%1)</source>
        <translation>Nisu pronađeni (%1)</translation>
    </message>
    <message id="rollcall.recordFailed">
        <source>The record could not be written: %1

The event stays open; press End to try again.</source>
        <translation>Zapisnik nije mogao biti zapisan: %1

Događaj ostaje otvoren; pritisnite Završi da pokušate ponovo.</translation>
    </message>
    <message id="rollcall.recordWritten">
        <source>The record was written:
%1
%2</source>
        <translation>Zapisnik je zapisan:
%1
%2</translation>
    </message>
    <message id="rollcall.share">
        <source>Share with phones...</source>
        <translation>Podeli sa telefonima...</translation>
    </message>
    <message id="rollcall.share.tip">
        <source>Let wardens tick people on their phones: shows a QR code to scan (Ctrl+Shift+H)</source>
        <translation>Neka redari označavaju ljude na telefonima: prikazuje QR kod za skeniranje (Ctrl+Shift+H)</translation>
    </message>
    <message id="rollcall.shareAddress">
        <source>&amp;Address for the code:</source>
        <translation>&amp;Adresa za kod:</translation>
    </message>
    <message id="rollcall.shareAddresses">
        <source>Listen on these &amp;addresses:</source>
        <translation>Slušaj na ovim &amp;adresama:</translation>
    </message>
    <message id="rollcall.shareCopy">
        <source>&amp;Copy address</source>
        <translation>&amp;Kopiraj adresu</translation>
    </message>
    <message id="rollcall.shareFailed">
        <source>Sharing could not start on %1</source>
        <translation>Deljenje nije moglo da počne na %1</translation>
    </message>
    <message id="rollcall.shareNote">
        <source>Names and ticks cross the network in plain text (HTTP): anyone who can read this network's traffic, such as everyone on an open Wi-Fi, can see them.</source>
        <translation>Imena i oznake putuju mrežom kao običan tekst (HTTP): vidi ih svako ko može da čita saobraćaj ove mreže, na primer svako na otvorenoj Wi-Fi mreži.</translation>
    </message>
    <message id="rollcall.sharePort">
        <source>&amp;Port:</source>
        <translation>&amp;Port:</translation>
    </message>
    <message id="rollcall.shareScan">
        <source>Wardens scan this code with the phone's camera, or open the address below. Anyone with it can see the list and tick people until sharing stops.</source>
        <translation>Redari skeniraju ovaj kod kamerom telefona ili otvaraju adresu ispod. Svako ko je ima vidi spisak i može da označava ljude dok deljenje traje.</translation>
    </message>
    <message id="rollcall.shareStart">
        <source>&amp;Start sharing</source>
        <translation>&amp;Počni deljenje</translation>
    </message>
    <message id="rollcall.shareTitle">
        <source>Share the roll call with phones</source>
        <translation>Podeli prozivku sa telefonima</translation>
    </message>
    <message id="rollcall.sharing">
        <source>Shared with phones at %1 · Phones: %2</source>
        <translation>Podeljeno sa telefonima na %1 · Telefoni: %2</translation>
    </message>
    <message id="rollcall.startAsk">
        <source>Ticks already set: %1. Start with nobody ticked?

Yes clears the ticks, No keeps them.</source>
        <translation>Već postoji oznaka: %1. Početi bez ijedne oznake?

Da briše oznake, Ne ih zadržava.</translation>
    </message>
    <message id="rollcall.startDrill">
        <source>Start drill</source>
        <translation>Počni vežbu</translation>
    </message>
    <message id="rollcall.startDrill.tip">
        <source>Start a drill: the time since the start and who is still missing are shown until End (Ctrl+Shift+D)</source>
        <translation>Počni vežbu: vreme od početka i ko još nedostaje prikazuju se do kraja (Ctrl+Shift+D)</translation>
    </message>
    <message id="rollcall.startEvacuation">
        <source>Start evacuation</source>
        <translation>Počni evakuaciju</translation>
    </message>
    <message id="rollcall.startEvacuation.tip">
        <source>Start an evacuation: the time since the start and who is still missing are shown until End (Ctrl+Shift+E)</source>
        <translation>Počni evakuaciju: vreme od početka i ko još nedostaje prikazuju se do kraja (Ctrl+Shift+E)</translation>
    </message>
    <message id="rollcall.stopSharing">
        <source>Stop sharing</source>
        <translation>Prekini deljenje</translation>
    </message>
    <message id="rollcall.stopSharing.tip">
        <source>Stop sharing with phones: the phones' key stops working and nothing listens any more</source>
        <translation>Prekini deljenje sa telefonima: ključ telefona prestaje da važi i ništa više ne sluša</translation>
    </message>
    <message id="rollcall.tickedBy">
        <source>Ticked by %1 at %2</source>
        <translation>Označio/la %1 u %2</translation>
    </message>
    <message id="rollcall.web.already">
        <source>%1 was already ticked by %2</source>
        <translation>%1 je već označio/la %2</translation>
    </message>
    <message id="rollcall.web.asOf">
        <source>List as of %1</source>
        <translation>Spisak od %1</translation>
    </message>
    <message id="rollcall.web.badKey">
        <source>This link no longer works: sharing was stopped or started again. Scan the QR code at the desk again.</source>
        <translation>Ova veza više ne važi: deljenje je prekinuto ili ponovo pokrenuto. Ponovo skenirajte QR kod na pultu.</translation>
    </message>
    <message id="rollcall.web.by">
        <source>%1 · %2</source>
        <translation>%1 · %2</translation>
    </message>
    <message id="rollcall.web.change">
        <source>Change</source>
        <translation>Promeni</translation>
    </message>
    <message id="rollcall.web.counts">
        <source>Ticked %1 of %2</source>
        <translation>Označeno %1 od %2</translation>
    </message>
    <message id="rollcall.web.desk">
        <source>Desk</source>
        <translation>Pult</translation>
    </message>
    <message id="rollcall.web.drill">
        <source>%1 since %2 · %3</source>
        <translation>%1 od %2 · %3</translation>
    </message>
    <message id="rollcall.web.empty">
        <source>Nobody is on the list.</source>
        <translation>Niko nije na spisku.</translation>
    </message>
    <message id="rollcall.web.failed">
        <source>The tick did not reach the desk. Tap again.</source>
        <translation>Oznaka nije stigla do pulta. Dodirnite ponovo.</translation>
    </message>
    <message id="rollcall.web.lang">
        <source>en</source>
        <translation>sr-Latn</translation>
    </message>
    <message id="rollcall.web.missing">
        <source>Missing %1</source>
        <translation>Nedostaje %1</translation>
    </message>
    <message id="rollcall.web.more">
        <source>Show %1 more</source>
        <translation>Prikaži još %1</translation>
    </message>
    <message id="rollcall.web.noKey">
        <source>Open this page by scanning the QR code in the desk's Roll call window.</source>
        <translation>Otvorite ovu stranu skeniranjem QR koda u prozoru Prozivka na pultu.</translation>
    </message>
    <message id="rollcall.web.noMatch">
        <source>Nobody matches the search.</source>
        <translation>Niko ne odgovara pretrazi.</translation>
    </message>
    <message id="rollcall.web.offline">
        <source>No connection to the desk since %1. Trying again…</source>
        <translation>Nema veze sa pultom od %1. Pokušava se ponovo…</translation>
    </message>
    <message id="rollcall.web.partDone">
        <source>Ticked (%1)</source>
        <translation>Označeni (%1)</translation>
    </message>
    <message id="rollcall.web.partOpen">
        <source>Not yet ticked (%1)</source>
        <translation>Još nisu označeni (%1)</translation>
    </message>
    <message id="rollcall.web.search">
        <source>Search name or department</source>
        <translation>Traži ime ili sektor</translation>
    </message>
    <message id="rollcall.web.title">
        <source>Roll call</source>
        <translation>Prozivka</translation>
    </message>
    <message id="rollcall.web.tooMany">
        <source>Too many wrong attempts from this phone. Trying again in %1 s.</source>
        <translation>Previše pogrešnih pokušaja sa ovog telefona. Novi pokušaj za %1 s.</translation>
    </message>
    <message id="rollcall.web.untickAsk">
        <source>Untick %1?</source>
        <translation>Skinuti oznaku za %1?</translation>
    </message>
    <message id="rollcall.web.wardenIs">
        <source>Warden: %1</source>
        <translation>Redar: %1</translation>
    </message>
    <message id="rollcall.web.wardenLabel">
        <source>Your name (warden)</source>
        <translation>Vaše ime (redar)</translation>
    </message>
    <message id="rollcall.web.wardenStart">
        <source>Start ticking</source>
        <translation>Počni označavanje</translation>
    </message>
    <message id="help.title">
        <source>Zorvik help</source>
        <translation>Zorvik pomoć</translation>
    </message>
    <message id="help.html">
        <source>&lt;h2&gt;Zorvik&lt;/h2&gt;&lt;p&gt;Zorvik shows, live, every employee's last clocking from the attendance database. It reads the database again at the refresh interval (View &amp;gt; Database server...); &lt;b&gt;F5&lt;/b&gt; reads it at once. The icon at the left of the status bar shows whether the database answers; while it does not, every window keeps what it last showed.&lt;/p&gt;&lt;h3&gt;Panels&lt;/h3&gt;&lt;p&gt;A panel is a board of employee tablets that you arrange: File &amp;gt; New makes one, View &amp;gt; Employees... adds people, drag a tablet to move it; draw a frame on the empty panel to select several, and they move together. The dot is the colour of the last activity (View &amp;gt; Colours...); a tablet enlarges to show the photograph, the activity and the time. File &amp;gt; Save keeps the panel in a .zvl file; File &amp;gt; Open at startup... chooses the panels that open with the program. &lt;b&gt;Ctrl+F&lt;/b&gt; finds an employee on the panel and shows the tablet with a flashing frame. &lt;b&gt;Ctrl+plus&lt;/b&gt; and &lt;b&gt;Ctrl+minus&lt;/b&gt; zoom a panel for a wall display, &lt;b&gt;Ctrl+0&lt;/b&gt; shows it at its own size and &lt;b&gt;Ctrl+Shift+F&lt;/b&gt; fits the whole panel to its window, following the window's size; the file keeps the positions as they were, and each panel file's zoom, full screen and the legend come back at the next start. A clock on a tablet means its last clocking is a day old or more; a yellow triangle, an activity not allowed today.&lt;/p&gt;&lt;h3&gt;Lists&lt;/h3&gt;&lt;p&gt;View &amp;gt; Presences lists every employee's last clocking, newest first; &lt;b&gt;F8&lt;/b&gt; shows the guests inside now; &lt;b&gt;F9&lt;/b&gt; opens the roll call for the assembly point, with a tick per person. File &amp;gt; Export CSV... writes a list to a file. Reports &amp;gt; Last activity... builds the printable report. Type in the search field above a list (&lt;b&gt;Ctrl+F&lt;/b&gt; or &lt;b&gt;/&lt;/b&gt;) to keep only the rows that match, without regard to letters such as đ or č; &lt;b&gt;Esc&lt;/b&gt; clears it. Click a heading to sort by it.&lt;/p&gt;&lt;p&gt;View &amp;gt; Legend shows each activity's colour with the number of employees whose last clocking today is that activity. "Not yet in" in the status bar counts the employees who have not clocked today; click it for the list.&lt;/p&gt;&lt;h3&gt;Warnings&lt;/h3&gt;&lt;p&gt;When someone on an open panel clocks an activity that is not allowed today, a warning window opens with an alarm. It does not take the keyboard from the window you are typing in: click it, then press OK (or Enter, or Esc) to acknowledge it. The status bar counts the warnings still open, and every warning and acknowledgement goes into the day's log.&lt;/p&gt;&lt;h3&gt;Keys&lt;/h3&gt;&lt;table cellpadding="3"&gt;&lt;tr&gt;&lt;td&gt;&lt;b&gt;Ctrl+N&lt;/b&gt;&lt;/td&gt;&lt;td&gt;new panel&lt;/td&gt;&lt;/tr&gt;&lt;tr&gt;&lt;td&gt;&lt;b&gt;Ctrl+O&lt;/b&gt;&lt;/td&gt;&lt;td&gt;open a panel&lt;/td&gt;&lt;/tr&gt;&lt;tr&gt;&lt;td&gt;&lt;b&gt;Ctrl+S&lt;/b&gt;&lt;/td&gt;&lt;td&gt;save the panel&lt;/td&gt;&lt;/tr&gt;&lt;tr&gt;&lt;td&gt;&lt;b&gt;Ctrl+P&lt;/b&gt;&lt;/td&gt;&lt;td&gt;print&lt;/td&gt;&lt;/tr&gt;&lt;tr&gt;&lt;td&gt;&lt;b&gt;Ctrl+W&lt;/b&gt;&lt;/td&gt;&lt;td&gt;close the window&lt;/td&gt;&lt;/tr&gt;&lt;tr&gt;&lt;td&gt;&lt;b&gt;Ctrl+Q&lt;/b&gt;&lt;/td&gt;&lt;td&gt;quit&lt;/td&gt;&lt;/tr&gt;&lt;tr&gt;&lt;td&gt;&lt;b&gt;Ctrl+F&lt;/b&gt;, &lt;b&gt;/&lt;/b&gt;&lt;/td&gt;&lt;td&gt;find; in a list, search&lt;/td&gt;&lt;/tr&gt;&lt;tr&gt;&lt;td&gt;&lt;b&gt;Ctrl+plus&lt;/b&gt;, &lt;b&gt;Ctrl+minus&lt;/b&gt;, &lt;b&gt;Ctrl+0&lt;/b&gt;&lt;/td&gt;&lt;td&gt;zoom a panel in, out, actual size&lt;/td&gt;&lt;/tr&gt;&lt;tr&gt;&lt;td&gt;&lt;b&gt;Ctrl+Shift+F&lt;/b&gt;&lt;/td&gt;&lt;td&gt;fit the panel to the screen&lt;/td&gt;&lt;/tr&gt;&lt;tr&gt;&lt;td&gt;&lt;b&gt;F1&lt;/b&gt;&lt;/td&gt;&lt;td&gt;this help&lt;/td&gt;&lt;/tr&gt;&lt;tr&gt;&lt;td&gt;&lt;b&gt;F5&lt;/b&gt;&lt;/td&gt;&lt;td&gt;refresh now&lt;/td&gt;&lt;/tr&gt;&lt;tr&gt;&lt;td&gt;&lt;b&gt;F8&lt;/b&gt;&lt;/td&gt;&lt;td&gt;guests&lt;/td&gt;&lt;/tr&gt;&lt;tr&gt;&lt;td&gt;&lt;b&gt;F9&lt;/b&gt;&lt;/td&gt;&lt;td&gt;roll call&lt;/td&gt;&lt;/tr&gt;&lt;tr&gt;&lt;td&gt;&lt;b&gt;F11&lt;/b&gt;&lt;/td&gt;&lt;td&gt;full screen (F11 or Esc returns)&lt;/td&gt;&lt;/tr&gt;&lt;/table&gt;</source>
        <translation>&lt;h2&gt;Zorvik&lt;/h2&gt;&lt;p&gt;Zorvik prikazuje, uživo, poslednju registraciju svakog zaposlenog iz baze evidencije prisustva. Bazu čita ponovo u intervalu osvežavanja (Prikaz &amp;gt; Server baze podataka...); &lt;b&gt;F5&lt;/b&gt; je čita odmah. Ikona levo na statusnoj traci pokazuje da li baza odgovara; dok ne odgovara, svaki prozor zadržava ono što je poslednje prikazao.&lt;/p&gt;&lt;h3&gt;Panoi&lt;/h3&gt;&lt;p&gt;Pano je tabla sa pločicama zaposlenih koju sami uređujete: Datoteka &amp;gt; Novi pravi pano, Prikaz &amp;gt; Zaposleni... dodaje ljude, pločica se pomera prevlačenjem; nacrtajte okvir na praznom panou da izaberete više pločica i one se pomeraju zajedno. Tačka ima boju poslednje aktivnosti (Prikaz &amp;gt; Boje...); pločica se uvećava i pokazuje fotografiju, aktivnost i vreme. Datoteka &amp;gt; Sačuvaj čuva pano u .zvl datoteci; Datoteka &amp;gt; Otvaranje pri pokretanju... bira panoe koji se otvaraju sa programom. &lt;b&gt;Ctrl+F&lt;/b&gt; pronalazi zaposlenog na panou i pokazuje pločicu trepćućim okvirom. &lt;b&gt;Ctrl+plus&lt;/b&gt; i &lt;b&gt;Ctrl+minus&lt;/b&gt; uvećavaju i umanjuju pano za zidni ekran, &lt;b&gt;Ctrl+0&lt;/b&gt; ga vraća na pravu veličinu, a &lt;b&gt;Ctrl+Shift+F&lt;/b&gt; ceo pano uklapa u prozor i prati veličinu prozora; datoteka zadržava položaje kakvi su bili, a uvećanje svake datoteke panoa, ceo ekran i legenda vraćaju se pri sledećem pokretanju. Sat na pločici znači da je poslednja registracija stara dan ili više; žuti trougao, aktivnost koja danas nije dozvoljena.&lt;/p&gt;&lt;h3&gt;Spiskovi&lt;/h3&gt;&lt;p&gt;Prikaz &amp;gt; Prisutnost prikazuje poslednju registraciju svakog zaposlenog, najnovije prvo; &lt;b&gt;F8&lt;/b&gt; prikazuje goste koji su sada unutra; &lt;b&gt;F9&lt;/b&gt; otvara prozivku za zborno mesto, sa oznakom za svaku osobu. Datoteka &amp;gt; Izvoz CSV... upisuje spisak u datoteku. Izveštaji &amp;gt; Poslednja aktivnost... pravi izveštaj za štampu. Kucajte u polje za pretragu iznad spiska (&lt;b&gt;Ctrl+F&lt;/b&gt; ili &lt;b&gt;/&lt;/b&gt;) da ostanu samo redovi koji odgovaraju, bez obzira na slova kao što su đ ili č; &lt;b&gt;Esc&lt;/b&gt; ga briše. Klik na naslov kolone ređa po njoj.&lt;/p&gt;&lt;p&gt;Prikaz &amp;gt; Legenda prikazuje boju svake aktivnosti sa brojem zaposlenih čija je današnja poslednja registracija ta aktivnost. „Još nisu došli“ na statusnoj traci broji zaposlene koji se danas nisu registrovali; klik daje spisak.&lt;/p&gt;&lt;h3&gt;Upozorenja&lt;/h3&gt;&lt;p&gt;Kada neko sa otvorenog panoa registruje aktivnost koja danas nije dozvoljena, otvara se prozor upozorenja sa alarmom. On ne uzima tastaturu prozoru u kome kucate: kliknite na njega, pa pritisnite U redu (ili Enter, ili Esc) da ga potvrdite. Statusna traka broji upozorenja koja su još otvorena, a svako upozorenje i potvrda upisuju se u dnevnik dana.&lt;/p&gt;&lt;h3&gt;Tasteri&lt;/h3&gt;&lt;table cellpadding="3"&gt;&lt;tr&gt;&lt;td&gt;&lt;b&gt;Ctrl+N&lt;/b&gt;&lt;/td&gt;&lt;td&gt;novi pano&lt;/td&gt;&lt;/tr&gt;&lt;tr&gt;&lt;td&gt;&lt;b&gt;Ctrl+O&lt;/b&gt;&lt;/td&gt;&lt;td&gt;otvaranje panoa&lt;/td&gt;&lt;/tr&gt;&lt;tr&gt;&lt;td&gt;&lt;b&gt;Ctrl+S&lt;/b&gt;&lt;/td&gt;&lt;td&gt;čuvanje panoa&lt;/td&gt;&lt;/tr&gt;&lt;tr&gt;&lt;td&gt;&lt;b&gt;Ctrl+P&lt;/b&gt;&lt;/td&gt;&lt;td&gt;štampa&lt;/td&gt;&lt;/tr&gt;&lt;tr&gt;&lt;td&gt;&lt;b&gt;Ctrl+W&lt;/b&gt;&lt;/td&gt;&lt;td&gt;zatvaranje prozora&lt;/td&gt;&lt;/tr&gt;&lt;tr&gt;&lt;td&gt;&lt;b&gt;Ctrl+Q&lt;/b&gt;&lt;/td&gt;&lt;td&gt;izlaz&lt;/td&gt;&lt;/tr&gt;&lt;tr&gt;&lt;td&gt;&lt;b&gt;Ctrl+F&lt;/b&gt;, &lt;b&gt;/&lt;/b&gt;&lt;/td&gt;&lt;td&gt;pronalaženje; u spisku, pretraga&lt;/td&gt;&lt;/tr&gt;&lt;tr&gt;&lt;td&gt;&lt;b&gt;Ctrl+plus&lt;/b&gt;, &lt;b&gt;Ctrl+minus&lt;/b&gt;, &lt;b&gt;Ctrl+0&lt;/b&gt;&lt;/td&gt;&lt;td&gt;uvećanje panoa, umanjenje, prava veličina&lt;/td&gt;&lt;/tr&gt;&lt;tr&gt;&lt;td&gt;&lt;b&gt;Ctrl+Shift+F&lt;/b&gt;&lt;/td&gt;&lt;td&gt;uklapanje panoa u ekran&lt;/td&gt;&lt;/tr&gt;&lt;tr&gt;&lt;td&gt;&lt;b&gt;F1&lt;/b&gt;&lt;/td&gt;&lt;td&gt;ova pomoć&lt;/td&gt;&lt;/tr&gt;&lt;tr&gt;&lt;td&gt;&lt;b&gt;F5&lt;/b&gt;&lt;/td&gt;&lt;td&gt;osveži sada&lt;/td&gt;&lt;/tr&gt;&lt;tr&gt;&lt;td&gt;&lt;b&gt;F8&lt;/b&gt;&lt;/td&gt;&lt;td&gt;gosti&lt;/td&gt;&lt;/tr&gt;&lt;tr&gt;&lt;td&gt;&lt;b&gt;F9&lt;/b&gt;&lt;/td&gt;&lt;td&gt;prozivka&lt;/td&gt;&lt;/tr&gt;&lt;tr&gt;&lt;td&gt;&lt;b&gt;F11&lt;/b&gt;&lt;/td&gt;&lt;td&gt;ceo ekran (F11 ili Esc vraća)&lt;/td&gt;&lt;/tr&gt;&lt;/table&gt;</translation>
    </message>
    <message id="menu.57667">
        <source>&amp;Help topics&#9;F1</source>
        <translation>&amp;Uputstvo&#9;F1</translation>
    </message>
    <message id="menu.34034">
        <source>&amp;Refresh now&#9;F5</source>
        <translation>&amp;Osveži sada&#9;F5</translation>
    </message>
    <message id="menu.34035">
        <source>F&amp;ull screen&#9;F11</source>
        <translation>&amp;Ceo ekran&#9;F11</translation>
    </message>
    <message id="57667">
        <source>Show how to use Zorvik and its keys
Help topics</source>
        <translation>Prikaz uputstva za rad sa Zorvikom i njegovih tastera
Pomoć</translation>
    </message>
    <message id="34034">
        <source>Read the database now instead of at the end of the refresh interval
Refresh now</source>
        <translation>Čitanje baze odmah umesto na kraju intervala osvežavanja
Osveži sada</translation>
    </message>
    <message id="34035">
        <source>Show the active window alone on the whole screen (F11 or Esc returns)
Full screen</source>
        <translation>Prikaz aktivnog prozora samog na celom ekranu (F11 ili Esc vraća)
Ceo ekran</translation>
    </message>
    <message id="warning.notifyTitle">
        <source>Illegal activity: %1 %2</source>
        <translation>Nedozvoljena aktivnost: %1 %2</translation>
    </message>
    <message id="warning.logFailed">
        <source>Warnings could not be written to the log (%1). They are kept and written as soon as the file can be written.</source>
        <translation>Upozorenja nije moguće upisati u dnevnik (%1). Čuvaju se i biće upisana čim u datoteku bude moguće pisati.</translation>
    </message>
    <message id="warning.logPane">
        <source>Warning log not written</source>
        <translation>Dnevnik upozorenja nije upisan</translation>
    </message>
    <message id="warning.notifyBody">
        <source>%1 at %3 on %2</source>
        <translation>%1 u %3, %2</translation>
    </message>
    <message id="search.placeholder">
        <source>Search: name, card number or department (Ctrl+F)</source>
        <translation>Pretraga: ime, broj kartice ili sektor (Ctrl+F)</translation>
    </message>
    <message id="search.count">
        <source>%1 of %2</source>
        <translation>%1 od %2</translation>
    </message>
    <message id="menu.34036">
        <source>&amp;Legend</source>
        <translation>&amp;Legenda</translation>
    </message>
    <message id="legend.title">
        <source>Legend</source>
        <translation>Legenda</translation>
    </message>
    <message id="legend.activity">
        <source>Activity</source>
        <translation>Aktivnost</translation>
    </message>
    <message id="legend.count">
        <source>Today</source>
        <translation>Danas</translation>
    </message>
    <message id="notyetin.text">
        <source>Not yet in: %1</source>
        <translation>Još nisu došli: %1</translation>
    </message>
    <message id="notyetin.tip">
        <source>Employees who have not clocked today; click for the list</source>
        <translation>Zaposleni koji se danas nisu registrovali; kliknite za spisak</translation>
    </message>
    <message id="notyetin.title">
        <source>Not yet in today</source>
        <translation>Danas još nisu došli</translation>
    </message>
    <message id="notyetin.lastClocking">
        <source>Last clocking</source>
        <translation>Poslednja registracija</translation>
    </message>
    <message id="34036">
        <source>Show the activity colours with how many employees clocked each today
Legend</source>
        <translation>Prikaz boja aktivnosti i broja zaposlenih koji su danas registrovali svaku
Legenda</translation>
    </message>
    <message id="rollcall.inMemoryOnly">
        <source>%1 (in memory only)</source>
        <translation>%1 (samo u memoriji)</translation>
    </message>
    <message id="rollcall.noCertificate">
        <source>no certificate in PEM form</source>
        <translation>nema sertifikata u PEM obliku</translation>
    </message>
    <message id="rollcall.noPrivateKey">
        <source>no RSA or EC private key in PEM form without a passphrase</source>
        <translation>nema privatnog RSA ili EC ključa u PEM obliku bez lozinke</translation>
    </message>
    <message id="rollcall.shareNames">
        <source>Other &amp;names of this computer:</source>
        <translation>Druga &amp;imena ovog računara:</translation>
    </message>
    <message id="rollcall.shareCertificate">
        <source>HTTPS &amp;certificate:</source>
        <translation>HTTPS &amp;sertifikat:</translation>
    </message>
    <message id="rollcall.shareKey">
        <source>HTTPS &amp;key:</source>
        <translation>HTTPS &amp;ključ:</translation>
    </message>
    <message id="rollcall.shareCertificateTitle">
        <source>Certificate of the site</source>
        <translation>Sertifikat lokacije</translation>
    </message>
    <message id="rollcall.shareKeyTitle">
        <source>Private key of the certificate</source>
        <translation>Privatni ključ sertifikata</translation>
    </message>
    <message id="rollcall.shareBrowse">
        <source>Browse...</source>
        <translation>Potraži...</translation>
    </message>
    <message id="rollcall.sharePemFiles">
        <source>PEM files (*.pem *.crt *.key);;All files (*)</source>
        <translation>PEM datoteke (*.pem *.crt *.key);;Sve datoteke (*)</translation>
    </message>
    <message id="rollcall.shareBoth">
        <source>HTTPS needs both the certificate and its private key.</source>
        <translation>Za HTTPS su potrebni i sertifikat i njegov privatni ključ.</translation>
    </message>
    <message id="rollcall.shareNoteHttps">
        <source>Names and ticks cross the network encrypted (HTTPS); the phones must trust the site's certificate.</source>
        <translation>Imena i oznake putuju mrežom šifrovano (HTTPS); telefoni moraju da veruju sertifikatu lokacije.</translation>
    </message>
    <message id="rollcall.web.ended">
        <source>Sharing has ended. If it starts again, scan the new QR code at the desk.</source>
        <translation>Deljenje je završeno. Ako ponovo počne, skenirajte novi QR kod na pultu.</translation>
    </message>
    <message id="rollcall.web.notSaved">
        <source>%1 is ticked at the desk, but the desk could not save it to its file yet.</source>
        <translation>%1 je označen na pultu, ali pult još nije mogao da ga sačuva u datoteku.</translation>
    </message>
    <message id="panel.zoomFit">
        <source>&amp;Fit to screen</source>
        <translation>&amp;Uklopi u ekran</translation>
    </message>
    <message id="panel.zoomFit.tip">
        <source>Show the whole panel in its window, following the window's size (Ctrl+Shift+F)</source>
        <translation>Prikazuje ceo pano u prozoru i prati veličinu prozora (Ctrl+Shift+F)</translation>
    </message>
    <message id="live.stale">
        <source>Not connected since %1; as of %2</source>
        <translation>Nema veze od %1; stanje u %2</translation>
    </message>
    <message id="warning.soundUnavailable">
        <source>Alarm sound unavailable</source>
        <translation>Zvuk alarma nije dostupan</translation>
    </message>
    <message id="headcount.stale">
        <source>On site: %1 (as of %3) · Guests: %2</source>
        <translation>Na lokaciji: %1 (stanje u %3) · Gosti: %2</translation>
    </message>
    <message id="tray.show">
        <source>&amp;Show Zorvik</source>
        <translation>&amp;Prikaži Zorvik</translation>
    </message>
    <message id="tray.warnings">
        <source>Open &amp;warnings (%1)</source>
        <translation>Otvorena &amp;upozorenja (%1)</translation>
    </message>
</context>
</TS>
