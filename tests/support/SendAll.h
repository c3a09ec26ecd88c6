#pragma once

#include <QByteArray>

// Sends every byte on the connected socket, however many sends it takes; stops
// quietly when the peer has gone, as a test server has no one to tell.
void SendAll(int connection, const QByteArray& bytes);
