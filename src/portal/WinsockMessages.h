#pragma once

#include <QString>

// Socket failures are numbered and worded as Windows Sockets words them, on
// every platform, so an operator reads the same message everywhere.
namespace WinsockMessages {

inline constexpr int kInterrupted = 10004;
inline constexpr int kAddressInUse = 10048;
inline constexpr int kAddressNotAvailable = 10049;
inline constexpr int kConnectionReset = 10054;
inline constexpr int kTimedOut = 10060;
inline constexpr int kConnectionRefused = 10061;
inline constexpr int kHostNotFound = 11001;
inline constexpr int kTryAgain = 11002;
inline constexpr int kNoRecovery = 11003;
inline constexpr int kNoData = 11004;

// The text of a Windows Sockets error number; empty for a number without one.
QString text(int number);

// "Erreur de socket # <number>\r\n<text>".
QString socketErrorMessage(int number);

QString cannotAllocateSocket(); // Impossible d'allouer le socket.
QString cannotBindAddressInUse(); // Impossible d'établir une liaison ... déjà utilisés.
QString libraryNotLoaded(const QString& fileName);
QString startupFailed(); // Erreur d'initialisation Winsock.

} // namespace WinsockMessages

// Fails with the socket error of this Windows Sockets number and its message.
[[noreturn]] void ThrowSocketError(int number);
