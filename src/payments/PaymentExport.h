#pragma once

#include <QDate>

class AdoQuery;
class SynchronisationFeedback;

// The export run: sends the local payments dated after the start date that
// did not come from the portal, as one portal batch that first removes the
// portal's earlier copies, lists each invoice reference's conversion to an
// invoice number in the detail text and shows the portal's reply. The local
// database is only read. A completed run stores its start date.
class PaymentExport {
public:
    PaymentExport(AdoQuery& selection, SynchronisationFeedback& feedback);

    void Run(const QDate& startDate);

private:
    AdoQuery& m_selection;
    SynchronisationFeedback& m_feedback;
};
