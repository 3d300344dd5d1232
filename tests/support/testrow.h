#pragma once

#include <QTest>

// Adds one named row to the current _data() table, so each case reads as one line.
template <typename... Values> void testRow(const QByteArray& name, const Values&... values) {
    (QTest::newRow(name.constData()) << ... << values);
}
