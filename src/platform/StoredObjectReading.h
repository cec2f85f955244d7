#pragma once
// A stored file's top-level JSON object read member by member, so that one member that cannot be read costs
// only itself: its value (or its key) is passed over by its brackets and quotes, and the members after it
// still count. After a break in the syntax, reading goes on at the next line that starts a member, and a data
// value cut short by the end keeps what it holds (JsonCodec::dataCutShort).

#include <QByteArrayView>
#include <QHash>
#include <QString>
#include <QStringList>
#include <QVariantMap>

struct StoredObjectReading {
    // The text opens an object (after a byte-order mark and white space); when not, nothing else is set.
    bool isObject = false;
    // The whole text is one well-formed object and nothing was passed over: the values are exactly what the
    // strict reader gives.
    bool isClean() const { return isObject && problems.isEmpty(); }

    // Every member that read, as JsonReader::readVariant reads its value; a number that would be written
    // back as another number makes its member unreadable, null members are left out, and a repeated key
    // takes its last readable value (and is a problem: the other values are not kept).
    QVariantMap values;
    // Where the value of each key in `values` stands in the text read.
    QHash<QString, QByteArrayView> valueTexts;
    // What was passed over or cut off, one phrase each, in the order met ("the value of "x" at byte 12; left
    // that key out").
    QStringList problems;

    // `valueDepth` bounds the nesting of each member's value (the top-level object not counted).
    static StoredObjectReading read(QByteArrayView bytes, int valueDepth);
};
