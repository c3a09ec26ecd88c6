#pragma once

#include "common/FieldList.h"

#include <QString>

#include <functional>

// A client who chose the digital invoice, as the portal lists it: five fields
// in this order, all kept as text.
struct ClientRecord {
    QString number;
    QString name;
    QString address;
    QString postalCode;
    QString city;
};

constexpr int kClientFieldCount = 5;

// Asks the portal for its digital-invoice clients and cuts the reply into
// fields, every apostrophe turned into a space first so that only a double
// quote can still group text across separators.
FieldList FetchClientFields();

// Calls the action with each record in reply order, counting from 1. The five
// fields of a record are all read before the action sees it, so an incomplete
// last record fails with the list's index error (the index of its first
// missing field) and never reaches the action.
void ForEachClientRecord(const FieldList& fields, const std::function<void(int, const ClientRecord&)>& action);
