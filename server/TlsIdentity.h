#pragma once
// The lobby's TLS identity: the certificate and private key it shows the game. The operator
// names real files (a certificate that an authority signed, with its chain); without them the
// lobby makes a self-signed certificate on its first start and keeps it beside its database,
// readable by its owner only. Players check a self-signed certificate by its SHA-256
// fingerprint, which the lobby prints on start and in "stats".
#include <memory>
#include <string>

#include "foundation/Exception.h"

namespace asio::ssl {
class context;
}

class ETlsIdentity : public EBrenmoor {
public:
  using EBrenmoor::EBrenmoor;
};

struct TTlsIdentity {
  std::string CertificateFile;
  std::string KeyFile;
  // "AB:CD:..." : the SHA-256 digest of the certificate (its DER bytes), as the game shows it.
  std::string Fingerprint;
  // True when this start made the certificate.
  bool Made = false;
};

// The files of the self-signed certificate kept beside Database: "lobby.db" keeps
// "lobby.crt" and "lobby.key" in its folder.
std::string DefaultCertificateFile(const std::string& Database);
std::string DefaultKeyFile(const std::string& Database);

// Makes a self-signed certificate (an EC P-256 key, valid for ten years, for the names
// "localhost" and 127.0.0.1 and CommonName, named CommonName and a part of its serial number)
// and writes both files with owner-only permissions;
// an existing file is never overwritten. Raises ETlsIdentity.
void MakeSelfSignedCertificate(const std::string& CertificateFile, const std::string& KeyFile,
                               const std::string& CommonName = "brenmoor-lobby");

// The identity from these files; when MayMake and neither exists, a self-signed one is made
// first. Raises ETlsIdentity when a file is missing or unreadable, or the key is not the
// certificate's.
TTlsIdentity LoadTlsIdentity(const std::string& CertificateFile, const std::string& KeyFile, bool MayMake);

// The SHA-256 fingerprint of the first certificate of a PEM file. Raises ETlsIdentity.
std::string CertificateFingerprint(const std::string& CertificateFile);

// A server context of TLS 1.2 or newer over the identity, without renegotiation.
std::unique_ptr<asio::ssl::context> MakeServerTlsContext(const TTlsIdentity& Identity);
