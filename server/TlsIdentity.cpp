#include "server/TlsIdentity.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <openssl/err.h>
#include <openssl/evp.h>
#include <openssl/pem.h>
#include <openssl/rand.h>
#include <openssl/ssl.h>
#include <openssl/x509.h>
#include <openssl/x509v3.h>

#include <asio/ssl/context.hpp>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>

namespace {

namespace fs = std::filesystem;

struct TFreeKey {
  void operator()(EVP_PKEY* K) const { EVP_PKEY_free(K); }
};
struct TFreeCert {
  void operator()(X509* C) const { X509_free(C); }
};
struct TFreeExt {
  void operator()(X509_EXTENSION* E) const { X509_EXTENSION_free(E); }
};
struct TFreeBio {
  void operator()(BIO* B) const { BIO_free(B); }
};
using TKey = std::unique_ptr<EVP_PKEY, TFreeKey>;
using TCert = std::unique_ptr<X509, TFreeCert>;
using TBio = std::unique_ptr<BIO, TFreeBio>;

// The library's last error, for a message that says why.
std::string LastError() {
  const unsigned long E = ERR_get_error();
  ERR_clear_error();
  if (E == 0) return "unknown reason";
  char Text[256];
  ERR_error_string_n(E, Text, sizeof Text);
  return Text;
}

[[noreturn]] void Fail(const std::string& What) { throw ETlsIdentity(What + ": " + LastError()); }

void AddExtension(X509* Cert, int Nid, const char* Value) {
  X509V3_CTX Ctx;
  X509V3_set_ctx_nodb(&Ctx);
  X509V3_set_ctx(&Ctx, Cert, Cert, nullptr, nullptr, 0);
  std::unique_ptr<X509_EXTENSION, TFreeExt> Ext(X509V3_EXT_conf_nid(nullptr, &Ctx, Nid, Value));
  if (!Ext || !X509_add_ext(Cert, Ext.get(), -1)) Fail("Cannot add a certificate extension");
}

// Text written to a new file that only its owner may read; an existing file is left alone.
void WriteOwnerOnly(const std::string& File, const std::string& Text) {
  const int Fd = ::open(File.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, S_IRUSR | S_IWUSR);
  if (Fd < 0) throw ETlsIdentity("Cannot create " + File + ": " + std::strerror(errno));
  // The mode above is filtered by the umask; owner-only is what the file must be.
  bool Ok = ::fchmod(Fd, S_IRUSR | S_IWUSR) == 0;
  std::size_t Done = 0;
  while (Ok && Done < Text.size()) {
    const ssize_t N = ::write(Fd, Text.data() + Done, Text.size() - Done);
    if (N < 0 && errno == EINTR) continue;
    Ok = N > 0;
    if (Ok) Done += static_cast<std::size_t>(N);
  }
  Ok = ::fsync(Fd) == 0 && Ok;
  ::close(Fd);
  if (!Ok) {
    ::unlink(File.c_str());
    throw ETlsIdentity("Cannot write " + File);
  }
}

std::string BioText(BIO* B) {
  char* Data = nullptr;
  const long N = BIO_get_mem_data(B, &Data);
  return N > 0 ? std::string(Data, static_cast<std::size_t>(N)) : std::string();
}

TCert ReadCertificate(const std::string& File) {
  TBio In(BIO_new_file(File.c_str(), "r"));
  if (!In) Fail("Cannot read the certificate " + File);
  TCert Cert(PEM_read_bio_X509(In.get(), nullptr, nullptr, nullptr));
  if (!Cert) Fail("No certificate in " + File);
  return Cert;
}

std::string Fingerprint(X509* Cert) {
  unsigned char Digest[EVP_MAX_MD_SIZE];
  unsigned int Size = 0;
  if (!X509_digest(Cert, EVP_sha256(), Digest, &Size)) Fail("Cannot take the certificate's digest");
  static const char* Hex = "0123456789ABCDEF";
  std::string Out;
  for (unsigned int I = 0; I < Size; ++I) {
    if (I) Out += ':';
    Out += Hex[Digest[I] >> 4];
    Out += Hex[Digest[I] & 15];
  }
  return Out;
}

fs::path Beside(const std::string& Database, const char* Extension) {
  fs::path P(Database);
  P.replace_extension(Extension);
  return P;
}

}  // namespace

std::string DefaultCertificateFile(const std::string& Database) { return Beside(Database, ".crt").string(); }
std::string DefaultKeyFile(const std::string& Database) { return Beside(Database, ".key").string(); }

void MakeSelfSignedCertificate(const std::string& CertificateFile, const std::string& KeyFile,
                               const std::string& CommonName) {
  TKey Key(EVP_EC_gen("P-256"));
  if (!Key) Fail("Cannot make a key");
  TCert Cert(X509_new());
  if (!Cert) Fail("Cannot make a certificate");
  X509_set_version(Cert.get(), 2);
  unsigned char Serial[16];
  if (RAND_bytes(Serial, sizeof Serial) != 1) Fail("No random serial number");
  Serial[0] &= 0x7f;  // a positive number
  BIGNUM* Number = BN_bin2bn(Serial, sizeof Serial, nullptr);
  if (!Number || !BN_to_ASN1_INTEGER(Number, X509_get_serialNumber(Cert.get()))) {
    BN_free(Number);
    Fail("Cannot set the serial number");
  }
  BN_free(Number);
  // Valid from an hour ago (clocks differ) for ten years.
  X509_gmtime_adj(X509_getm_notBefore(Cert.get()), -3600);
  X509_gmtime_adj(X509_getm_notAfter(Cert.get()), 10L * 366 * 24 * 3600);
  X509_set_pubkey(Cert.get(), Key.get());
  // Every certificate made here has a name of its own (the name and its serial number): a
  // client that trusts several of them finds each one's issuer by its name.
  static const char* Hex = "0123456789abcdef";
  std::string Unique = CommonName + " ";
  for (int I = 0; I < 8; ++I) Unique += Hex[(Serial[I / 2] >> (I % 2 ? 0 : 4)) & 15];
  X509_NAME* Name = X509_get_subject_name(Cert.get());
  X509_NAME_add_entry_by_txt(Name, "CN", MBSTRING_UTF8, reinterpret_cast<const unsigned char*>(Unique.c_str()), -1,
                             -1, 0);
  X509_set_issuer_name(Cert.get(), Name);
  AddExtension(Cert.get(), NID_basic_constraints, "critical,CA:FALSE");
  AddExtension(Cert.get(), NID_key_usage, "critical,digitalSignature");
  AddExtension(Cert.get(), NID_ext_key_usage, "serverAuth");
  AddExtension(Cert.get(), NID_subject_key_identifier, "hash");
  AddExtension(Cert.get(), NID_subject_alt_name, ("DNS:localhost,IP:127.0.0.1,DNS:" + CommonName).c_str());
  if (!X509_sign(Cert.get(), Key.get(), EVP_sha256())) Fail("Cannot sign the certificate");

  TBio KeyText(BIO_new(BIO_s_mem())), CertText(BIO_new(BIO_s_mem()));
  if (!KeyText || !CertText || !PEM_write_bio_PrivateKey(KeyText.get(), Key.get(), nullptr, nullptr, 0, nullptr, nullptr) ||
      !PEM_write_bio_X509(CertText.get(), Cert.get()))
    Fail("Cannot write the certificate");
  // The key first: a certificate without its key is no use, and is not kept.
  WriteOwnerOnly(KeyFile, BioText(KeyText.get()));
  try {
    WriteOwnerOnly(CertificateFile, BioText(CertText.get()));
  } catch (...) {
    ::unlink(KeyFile.c_str());
    throw;
  }
}

std::string CertificateFingerprint(const std::string& CertificateFile) {
  return Fingerprint(ReadCertificate(CertificateFile).get());
}

TTlsIdentity LoadTlsIdentity(const std::string& CertificateFile, const std::string& KeyFile, bool MayMake) {
  TTlsIdentity Id{CertificateFile, KeyFile, "", false};
  std::error_code E;
  const bool HasCert = fs::exists(CertificateFile, E), HasKey = fs::exists(KeyFile, E);
  if (MayMake && !HasCert && !HasKey) {
    MakeSelfSignedCertificate(CertificateFile, KeyFile);
    Id.Made = true;
  } else if (!HasCert || !HasKey) {
    throw ETlsIdentity("The TLS " + std::string(HasCert ? "key " + KeyFile : "certificate " + CertificateFile) +
                       " does not exist");
  }
  TCert Cert = ReadCertificate(CertificateFile);
  TBio In(BIO_new_file(KeyFile.c_str(), "r"));
  if (!In) Fail("Cannot read the key " + KeyFile);
  TKey Key(PEM_read_bio_PrivateKey(In.get(), nullptr, nullptr, nullptr));
  if (!Key) Fail("No private key in " + KeyFile);
  if (X509_check_private_key(Cert.get(), Key.get()) != 1)
    throw ETlsIdentity("The key " + KeyFile + " is not the key of the certificate " + CertificateFile);
  Id.Fingerprint = Fingerprint(Cert.get());
  return Id;
}

std::unique_ptr<asio::ssl::context> MakeServerTlsContext(const TTlsIdentity& Identity) {
  auto Ctx = std::make_unique<asio::ssl::context>(asio::ssl::context::tls_server);
  SSL_CTX* Native = Ctx->native_handle();
  SSL_CTX_set_min_proto_version(Native, TLS1_2_VERSION);
  SSL_CTX_set_options(Native, SSL_OP_NO_RENEGOTIATION | SSL_OP_CIPHER_SERVER_PREFERENCE);
  // An idle connection gives its buffers back: a lobby holds many connections that wait.
  SSL_CTX_set_mode(Native, SSL_MODE_RELEASE_BUFFERS);
  // The game does not resume sessions: a hand-shake makes no tickets and keeps no session,
  // which is most of a hand-shake's work besides the key exchange and the signature.
  SSL_CTX_set_session_cache_mode(Native, SSL_SESS_CACHE_OFF);
  SSL_CTX_set_options(Native, SSL_OP_NO_TICKET);
  SSL_CTX_set_num_tickets(Native, 0);
  asio::error_code E;
  Ctx->use_certificate_chain_file(Identity.CertificateFile, E);
  if (E) throw ETlsIdentity("Cannot use the certificate " + Identity.CertificateFile + ": " + E.message());
  Ctx->use_private_key_file(Identity.KeyFile, asio::ssl::context::pem, E);
  if (E) throw ETlsIdentity("Cannot use the key " + Identity.KeyFile + ": " + E.message());
  return Ctx;
}
