<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="en">
<context>
    <name></name>
    <message id="tst_locale_greeting">
        <source>Hello from the test catalog</source>
        <translation>Hello from the test catalog</translation>
    </message>
</context>
</TS>
