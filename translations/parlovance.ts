<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="en">
<context>
    <name></name>
    <message id="qtn_comm_appname_musi">
        <source>Music</source>
        <extracomment>Application name; the main window title.</extracomment>
        <translation>Music</translation>
    </message>
    <message id="qtn_musi_music">
        <source>Music</source>
        <extracomment>Main page title.</extracomment>
        <translation>Music</translation>
    </message>
    <message id="qtn_musi_player">
        <source>Player</source>
        <extracomment>Title of the player view.</extracomment>
        <translation>Player</translation>
    </message>
</context>
</TS>
