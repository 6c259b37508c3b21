<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<!-- Serbian (Latin script) texts of the buttons and dialogs that Qt itself draws, by Qt's own
     contexts; the system has no Serbian translation of Qt. -->
<TS version="2.1" language="sr_Latn">
<context>
    <name>QPlatformTheme</name>
    <message>
        <source>OK</source>
        <translation>U redu</translation>
    </message>
    <message>
        <source>Save</source>
        <translation>Sačuvaj</translation>
    </message>
    <message>
        <source>Save All</source>
        <translation>Sačuvaj sve</translation>
    </message>
    <message>
        <source>Open</source>
        <translation>Otvori</translation>
    </message>
    <message>
        <source>&amp;Yes</source>
        <translation>&amp;Da</translation>
    </message>
    <message>
        <source>Yes to &amp;All</source>
        <translation>Da za &amp;sve</translation>
    </message>
    <message>
        <source>&amp;No</source>
        <translation>&amp;Ne</translation>
    </message>
    <message>
        <source>N&amp;o to All</source>
        <translation>N&amp;e za sve</translation>
    </message>
    <message>
        <source>Abort</source>
        <translation>Prekini</translation>
    </message>
    <message>
        <source>Retry</source>
        <translation>Pokušaj ponovo</translation>
    </message>
    <message>
        <source>Ignore</source>
        <translation>Zanemari</translation>
    </message>
    <message>
        <source>Close</source>
        <translation>Zatvori</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation>Otkaži</translation>
    </message>
    <message>
        <source>Discard</source>
        <translation>Odbaci</translation>
    </message>
    <message>
        <source>Help</source>
        <translation>Pomoć</translation>
    </message>
    <message>
        <source>Apply</source>
        <translation>Primeni</translation>
    </message>
    <message>
        <source>Reset</source>
        <translation>Vrati</translation>
    </message>
    <message>
        <source>Restore Defaults</source>
        <translation>Vrati podrazumevano</translation>
    </message>
</context>
<context>
    <name>QMessageBox</name>
    <message>
        <source>Show Details...</source>
        <translation>Prikaži detalje...</translation>
    </message>
    <message>
        <source>Hide Details...</source>
        <translation>Sakrij detalje...</translation>
    </message>
</context>
<context>
    <name>QFileDialog</name>
    <message>
        <source>File</source>
        <translation>Datoteka</translation>
    </message>
    <message>
        <source>Files</source>
        <translation>Datoteke</translation>
    </message>
    <message>
        <source>Folder</source>
        <translation>Fascikla</translation>
    </message>
    <message>
        <source>Directories</source>
        <translation>Fascikle</translation>
    </message>
    <message>
        <source>Delete</source>
        <translation>Obriši</translation>
    </message>
    <message>
        <source>&amp;New Folder</source>
        <translation>&amp;Nova fascikla</translation>
    </message>
    <message>
        <source>Remove</source>
        <translation>Ukloni</translation>
    </message>
    <message>
        <source>Create a New Folder</source>
        <translation>Napravi novu fasciklu</translation>
    </message>
    <message>
        <source>%1 File</source>
        <translation>%1 datoteka</translation>
    </message>
    <message>
        <source>Find Directory</source>
        <translation>Pronalaženje fascikle</translation>
    </message>
    <message>
        <source>&amp;Choose</source>
        <translation>&amp;Izaberi</translation>
    </message>
    <message>
        <source>All files (*)</source>
        <translation>Sve datoteke (*)</translation>
    </message>
    <message>
        <source>Unknown</source>
        <translation>Nepoznato</translation>
    </message>
    <message>
        <source>Go forward</source>
        <translation>Idi napred</translation>
    </message>
    <message>
        <source>Go back</source>
        <translation>Idi nazad</translation>
    </message>
    <message>
        <source>Go to the parent directory</source>
        <translation>Idi u nadređenu fasciklu</translation>
    </message>
    <message>
        <source>Recent Places</source>
        <translation>Nedavna mesta</translation>
    </message>
    <message>
        <source>Change to detail view mode</source>
        <translation>Detaljan prikaz</translation>
    </message>
    <message>
        <source>Change to list view mode</source>
        <translation>Prikaz liste</translation>
    </message>
    <message>
        <source>Sidebar</source>
        <translation>Bočna traka</translation>
    </message>
    <message>
        <source>List of places and bookmarks</source>
        <translation>Mesta i obeleživači</translation>
    </message>
    <message>
        <source>Are you sure you want to delete '%1'?</source>
        <translation>Da li sigurno želite da obrišete '%1'?</translation>
    </message>
    <message>
        <source>Could not delete directory.</source>
        <translation>Fasciklu nije moguće obrisati.</translation>
    </message>
    <message>
        <source>Look in:</source>
        <translation>Traži u:</translation>
    </message>
    <message>
        <source>File &amp;name:</source>
        <translation>&amp;Ime datoteke:</translation>
    </message>
    <message>
        <source>Files of type:</source>
        <translation>Vrsta datoteka:</translation>
    </message>
    <message>
        <source>&amp;Open</source>
        <translation>&amp;Otvori</translation>
    </message>
    <message>
        <source>&amp;Save</source>
        <translation>&amp;Sačuvaj</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation>Otkaži</translation>
    </message>
    <message>
        <source>Back</source>
        <translation>Nazad</translation>
    </message>
    <message>
        <source>Forward</source>
        <translation>Napred</translation>
    </message>
    <message>
        <source>Parent Directory</source>
        <translation>Nadređena fascikla</translation>
    </message>
    <message>
        <source>Create New Folder</source>
        <translation>Napravi novu fasciklu</translation>
    </message>
    <message>
        <source>List View</source>
        <translation>Prikaz liste</translation>
    </message>
    <message>
        <source>Detail View</source>
        <translation>Detaljan prikaz</translation>
    </message>
    <message>
        <source>All Files (*)</source>
        <translation>Sve datoteke (*)</translation>
    </message>
    <message>
        <source>New Folder</source>
        <translation>Nova fascikla</translation>
    </message>
    <message>
        <source>&amp;Delete</source>
        <translation>&amp;Obriši</translation>
    </message>
    <message>
        <source>&amp;Rename</source>
        <translation>&amp;Preimenuj</translation>
    </message>
    <message>
        <source>Show &amp;hidden files</source>
        <translation>Prikaži &amp;skrivene datoteke</translation>
    </message>
    <message>
        <source>Directory:</source>
        <translation>Fascikla:</translation>
    </message>
    <message>
        <source>My Computer</source>
        <translation>Moj računar</translation>
    </message>
    <message>
        <source>Computer</source>
        <translation>Računar</translation>
    </message>
    <message>
        <source>Open</source>
        <translation>Otvaranje</translation>
    </message>
    <message>
        <source>Save As</source>
        <translation>Čuvanje pod imenom</translation>
    </message>
</context>
<context>
    <name>QFileSystemModel</name>
    <message>
        <source>Name</source>
        <translation>Ime</translation>
    </message>
    <message>
        <source>Size</source>
        <translation>Veličina</translation>
    </message>
    <message>
        <source>Type</source>
        <translation>Vrsta</translation>
    </message>
    <message>
        <source>Date Modified</source>
        <translation>Datum izmene</translation>
    </message>
    <message>
        <source>Kind</source>
        <translation>Vrsta</translation>
    </message>
    <message>
        <source>My Computer</source>
        <translation>Moj računar</translation>
    </message>
    <message>
        <source>Computer</source>
        <translation>Računar</translation>
    </message>
</context>
<context>
    <name>QPrintDialog</name>
    <message>
        <source>Print</source>
        <translation>Štampanje</translation>
    </message>
    <message>
        <source>&amp;Print</source>
        <translation>Š&amp;tampaj</translation>
    </message>
    <message>
        <source>Print To File ...</source>
        <translation>Štampaj u datoteku ...</translation>
    </message>
    <message>
        <source>&amp;Options &gt;&gt;</source>
        <translation>&amp;Opcije &gt;&gt;</translation>
    </message>
    <message>
        <source>&amp;Options &lt;&lt;</source>
        <translation>&amp;Opcije &lt;&lt;</translation>
    </message>
    <message>
        <source>Print all</source>
        <translation>Štampaj sve</translation>
    </message>
    <message>
        <source>Print range</source>
        <translation>Opseg za štampu</translation>
    </message>
    <message>
        <source>Print selection</source>
        <translation>Štampaj izbor</translation>
    </message>
    <message>
        <source>Print current page</source>
        <translation>Štampaj tekuću stranu</translation>
    </message>
</context>
<context>
    <name>QPrintPreviewDialog</name>
    <message>
        <source>Print Preview</source>
        <translation>Pregled pre štampe</translation>
    </message>
    <message>
        <source>Next page</source>
        <translation>Sledeća strana</translation>
    </message>
    <message>
        <source>Previous page</source>
        <translation>Prethodna strana</translation>
    </message>
    <message>
        <source>First page</source>
        <translation>Prva strana</translation>
    </message>
    <message>
        <source>Last page</source>
        <translation>Poslednja strana</translation>
    </message>
    <message>
        <source>Fit width</source>
        <translation>Uklopi po širini</translation>
    </message>
    <message>
        <source>Fit page</source>
        <translation>Uklopi stranu</translation>
    </message>
    <message>
        <source>Zoom in</source>
        <translation>Uvećaj</translation>
    </message>
    <message>
        <source>Zoom out</source>
        <translation>Umanji</translation>
    </message>
    <message>
        <source>Portrait</source>
        <translation>Uspravno</translation>
    </message>
    <message>
        <source>Landscape</source>
        <translation>Položeno</translation>
    </message>
    <message>
        <source>Show single page</source>
        <translation>Prikaži jednu stranu</translation>
    </message>
    <message>
        <source>Show facing pages</source>
        <translation>Prikaži dve strane</translation>
    </message>
    <message>
        <source>Show overview of all pages</source>
        <translation>Prikaži pregled svih strana</translation>
    </message>
    <message>
        <source>Print</source>
        <translation>Štampaj</translation>
    </message>
    <message>
        <source>Page setup</source>
        <translation>Podešavanje strane</translation>
    </message>
    <message>
        <source>Export to PDF</source>
        <translation>Izvoz u PDF</translation>
    </message>
</context>
<context>
    <name>QColorDialog</name>
    <message>
        <source>Hu&amp;e:</source>
        <translation>&amp;Nijansa:</translation>
    </message>
    <message>
        <source>&amp;Sat:</source>
        <translation>&amp;Zasić.:</translation>
    </message>
    <message>
        <source>&amp;Val:</source>
        <translation>&amp;Vred.:</translation>
    </message>
    <message>
        <source>&amp;Red:</source>
        <translation>&amp;Crvena:</translation>
    </message>
    <message>
        <source>&amp;Green:</source>
        <translation>&amp;Zelena:</translation>
    </message>
    <message>
        <source>Bl&amp;ue:</source>
        <translation>&amp;Plava:</translation>
    </message>
    <message>
        <source>A&amp;lpha channel:</source>
        <translation>A&amp;lfa kanal:</translation>
    </message>
    <message>
        <source>Select Color</source>
        <translation>Izbor boje</translation>
    </message>
    <message>
        <source>&amp;Basic colors</source>
        <translation>&amp;Osnovne boje</translation>
    </message>
    <message>
        <source>&amp;Custom colors</source>
        <translation>&amp;Prilagođene boje</translation>
    </message>
    <message>
        <source>&amp;Add to Custom Colors</source>
        <translation>&amp;Dodaj u prilagođene boje</translation>
    </message>
    <message>
        <source>&amp;Pick Screen Color</source>
        <translation>&amp;Uzmi boju sa ekrana</translation>
    </message>
    <message>
        <source>HTML:</source>
        <translation>HTML:</translation>
    </message>
</context>
<context>
    <name>QLineEdit</name>
    <message>
        <source>&amp;Undo</source>
        <translation>&amp;Opozovi</translation>
    </message>
    <message>
        <source>&amp;Redo</source>
        <translation>&amp;Ponovi</translation>
    </message>
    <message>
        <source>Cu&amp;t</source>
        <translation>Ise&amp;ci</translation>
    </message>
    <message>
        <source>&amp;Copy</source>
        <translation>&amp;Kopiraj</translation>
    </message>
    <message>
        <source>&amp;Paste</source>
        <translation>&amp;Nalepi</translation>
    </message>
    <message>
        <source>Delete</source>
        <translation>Obriši</translation>
    </message>
    <message>
        <source>Select All</source>
        <translation>Izaberi sve</translation>
    </message>
</context>
<context>
    <name>QMdiSubWindow</name>
    <message>
        <source>Help</source>
        <translation>Pomoć</translation>
    </message>
    <message>
        <source>Menu</source>
        <translation>Meni</translation>
    </message>
    <message>
        <source>&amp;Move</source>
        <translation>&amp;Premesti</translation>
    </message>
    <message>
        <source>&amp;Size</source>
        <translation>&amp;Veličina</translation>
    </message>
    <message>
        <source>Close</source>
        <translation>Zatvori</translation>
    </message>
    <message>
        <source>Minimize</source>
        <translation>Umanji</translation>
    </message>
    <message>
        <source>Shade</source>
        <translation>Zamotaj</translation>
    </message>
    <message>
        <source>Stay on &amp;Top</source>
        <translation>Uvek na &amp;vrhu</translation>
    </message>
    <message>
        <source>&amp;Close</source>
        <translation>&amp;Zatvori</translation>
    </message>
    <message>
        <source>- [%1]</source>
        <translation>- [%1]</translation>
    </message>
    <message>
        <source>%1 - [%2]</source>
        <translation>%1 - [%2]</translation>
    </message>
    <message>
        <source>&amp;Restore</source>
        <translation>&amp;Vrati</translation>
    </message>
    <message>
        <source>Restore</source>
        <translation>Vrati</translation>
    </message>
    <message>
        <source>Maximize</source>
        <translation>Uvećaj</translation>
    </message>
    <message>
        <source>Unshade</source>
        <translation>Odmotaj</translation>
    </message>
    <message>
        <source>Mi&amp;nimize</source>
        <translation>U&amp;manji</translation>
    </message>
    <message>
        <source>Ma&amp;ximize</source>
        <translation>U&amp;većaj</translation>
    </message>
    <message>
        <source>Restore Down</source>
        <translation>Vrati dole</translation>
    </message>
</context>
</TS>
