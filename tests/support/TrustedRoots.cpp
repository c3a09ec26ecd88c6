#include "support/TrustedRoots.h"

#ifdef _WIN32
#include <windows.h>
#include <wincrypt.h>
#endif

#include <stdexcept>

namespace TrustedRoots {

#ifdef _WIN32

namespace {

// The current user's own trusted roots, as kept in the registry: a change is
// written when the store closes.
HCERTSTORE OpenUserRoots()
{
    HCERTSTORE store = CertOpenStore(
        CERT_STORE_PROV_SYSTEM_REGISTRY_W, 0, 0, CERT_SYSTEM_STORE_CURRENT_USER, L"Root");
    if (!store)
        throw std::runtime_error("the user's trusted roots cannot be opened");
    return store;
}

} // namespace

bool RunningUnderWine()
{
    const HMODULE ntdll = GetModuleHandleW(L"ntdll.dll");
    return ntdll && GetProcAddress(ntdll, "wine_get_version");
}

void AddUnderWine(const QByteArray& authority)
{
    if (!RunningUnderWine())
        return;
    HCERTSTORE store = OpenUserRoots();
    const BOOL added = CertAddEncodedCertificateToStore(store, X509_ASN_ENCODING,
        reinterpret_cast<const BYTE*>(authority.constData()), static_cast<DWORD>(authority.size()),
        CERT_STORE_ADD_REPLACE_EXISTING, nullptr);
    if (!CertCloseStore(store, 0) || !added)
        throw std::runtime_error("the test authority cannot be put among the prefix's trusted roots");
}

void RemoveUnderWine(const QByteArray& authority)
{
    if (!RunningUnderWine())
        return;
    HCERTSTORE store = OpenUserRoots();
    PCCERT_CONTEXT wanted = CertCreateCertificateContext(
        X509_ASN_ENCODING, reinterpret_cast<const BYTE*>(authority.constData()), static_cast<DWORD>(authority.size()));
    if (wanted) {
        if (PCCERT_CONTEXT found = CertFindCertificateInStore(store, X509_ASN_ENCODING, 0, CERT_FIND_EXISTING, wanted, nullptr))
            CertDeleteCertificateFromStore(found); // frees found
        CertFreeCertificateContext(wanted);
    }
    CertCloseStore(store, 0);
}

#else

bool RunningUnderWine()
{
    return false;
}

void AddUnderWine(const QByteArray&) { }

void RemoveUnderWine(const QByteArray&) { }

#endif

} // namespace TrustedRoots
