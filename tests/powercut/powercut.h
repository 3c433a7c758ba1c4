#pragma once

#include <QByteArray>

// Bulk for the files of the power-cut test, so that every write takes long
// enough for a kill to land inside it (a writer that is not atomic then
// shows). The writer and the test build the same text.
inline QByteArray powerCutFiller()
{
    QByteArray f;
    for (int i = 0; i < 4000; ++i)
        f += "# filler line " + QByteArray::number(i) + '\n';
    return f;
}
