#pragma once

#include <QByteArray>

// The test authority among the trusted roots of the Wine prefix the Windows
// tests run in, as a town's IT deploys its own authority on its desktops:
// Wine's crypt32 cannot take an authority from the authority file (its
// PFXImportCertStore gives nothing back for a certificate without its key),
// so that is the one way Schannel under Wine trusts it. Nothing is done on
// Linux nor on Windows proper, whose own store stays the user's.
namespace TrustedRoots {

bool RunningUnderWine();

// The authority (DER) is trusted in the prefix from now on, until Remove.
void AddUnderWine(const QByteArray& authority);
void RemoveUnderWine(const QByteArray& authority);

} // namespace TrustedRoots
