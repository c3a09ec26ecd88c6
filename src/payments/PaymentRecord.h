#pragma once

#include "common/FieldList.h"

#include <QDate>
#include <QString>

// One payment made on the portal: eight fields of the reply, by position.
struct PaymentRecord {
    QString client; // 1: NumClient
    QString method; // 2: MoyenPaiement
    QString amount; // 3: MontantPayé, "." as the decimal point
    QString dateField; // 4: the payment date as received, day first
    QDate date; //    ... and the day it names
    QString invoice; // 5: the invoice number, NoPièce "fact-" + invoice
    QString roll; // 6: NumRole2
    QString reference; // 7: the portal's own reference, BanquePièce "PF_" + reference
    QString numE; // 8: NumE
};

constexpr int kPaymentRecordFields = 8;

// The payment records of a reply, every one of them checked before any of
// them is used. Fields 1, 2, 3, 6 and 8 go unquoted into statements run on the
// town's database, so they must be numbers: whole numbers for 1, 2, 6 and 8, a
// decimal number written with "." for 3. Field 4 must be a date. A reply whose
// field count is not a multiple of eight ends with an incomplete record. The
// first fault refuses the whole reply, with a message naming the record and
// the field. Reading a record's date switches the program's short date format
// to day/month/year, as every payment date is written so.
// The records are read from the fields again each time one is asked for: a
// reply of a few hundred megabytes is held once, in its fields.
class PaymentRecords {
public:
    explicit PaymentRecords(FieldList fields);

    qsizetype size() const { return m_count; }
    qsizetype fieldCount() const { return m_fields.count(); }
    PaymentRecord at(qsizetype index) const;
    PaymentRecord first() const { return at(0); }

private:
    FieldList m_fields;
    qsizetype m_count;
};

PaymentRecords CheckedPaymentRecords(FieldList fields);

// The checks of the number fields: optional blanks around an optional "-" and
// the digits 0 to 9; the amount may have a "." and decimals. A number must
// also be one the database keeps exactly: a whole number within 64 bits, an
// amount whose whole part has at most 15 significant digits (its fraction is
// the database's to round).
bool IsWholeNumberText(const QString& text);
bool IsDecimalNumberText(const QString& text);
