<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<!-- A deliberately partial language for the tests: every other text stays English. -->
<TS version="2.1" language="de">
<context>
    <name></name>
    <message id="menu.file">
        <source>&amp;File</source>
        <translation>&amp;Testdatei</translation>
    </message>
    <message id="1032">
        <source>In order for new language settings to take effect,
you need to restart the application.</source>
        <translation>Neustart nötig.</translation>
    </message>
</context>
</TS>
