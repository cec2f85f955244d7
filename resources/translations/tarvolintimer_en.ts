<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="en_US">
<context>
    <name>PresetsScreenModel</name>
    <message numerus="yes">
        <source>%n step(s) · %1 min</source>
        <translation>
            <numerusform>%n step · %1 min</numerusform>
            <numerusform>%n steps · %1 min</numerusform>
        </translation>
    </message>
</context>
</TS>
