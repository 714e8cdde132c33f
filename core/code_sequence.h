#pragma once

#include <QByteArray>
#include <QString>
#include <QtGlobal>

// Display control bytes are written as code sequences: decimal byte values joined by "+", as in
// "27+81+65". Fields are numbered from 1, only the first 100 characters count, and within a
// field only the digits 0-9 do ("2x7+81" gives the fields "27" and "81").

// The digits of field `field` of `sequence`, in order; empty when the field has none.
QString ExtraiCodigo(qint16 field, const QString& sequence);

// The bytes of fields 1 to 6 of `sequence`, in order. A field that has no digits or whose value
// is above 255 adds nothing, and the next field is still tried.
QByteArray codeSequenceBytes(const QString& sequence);
