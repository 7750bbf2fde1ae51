// One OpenSSL client context per process, and the sessions kept per server.
#include "crawl/tls_context.h"

#include <openssl/err.h>
#include <openssl/obj_mac.h>
#include <openssl/ssl.h>
#include <openssl/x509.h>

#include <QDir>
#include <QFile>
#include <QString>
#include <QStringList>
#include <map>
#include <string>

#include "crawl/tls_channel.h"

namespace ferrowyn {

namespace {

// Loads the certificates of a PEM file; one that cannot be read adds nothing.
void LoadCertificateFile(X509_STORE* store, const QString& path) {
  const QByteArray name = QFile::encodeName(path);
  if (X509_STORE_load_file(store, name.constData()) != 1) ERR_clear_error();
}

void LoadTrustedCertificates(SSL_CTX* context) {
  X509_STORE* store = SSL_CTX_get_cert_store(context);
  const QString file = qEnvironmentVariable("SSL_CERT_FILE");
  const QString dirs = qEnvironmentVariable("SSL_CERT_DIR");
  if (file.isEmpty() && dirs.isEmpty()) {
    // The system's, named explicitly: OpenSSL's own default would read the two
    // variables again and take an empty one as a file name.
    if (X509_STORE_load_file(store, X509_get_default_cert_file()) != 1) ERR_clear_error();
    if (X509_STORE_load_path(store, X509_get_default_cert_dir()) != 1) ERR_clear_error();
    return;
  }
  if (!file.isEmpty()) LoadCertificateFile(store, file);
  // Every file of the directories, not only those under hashed names: a directory of
  // plain PEM files works as well as one prepared by c_rehash.
  for (const QString& dir : dirs.split(QLatin1Char(':'), Qt::SkipEmptyParts)) {
    const QDir folder(dir);
    for (const QString& name : folder.entryList(QDir::Files | QDir::Readable, QDir::Name))
      LoadCertificateFile(store, folder.filePath(name));
  }
}

// OpenSSL's own ciphers, with AES-128-GCM (and, for TLS 1.2, with ECDHE) first as browsers
// have them: against AES-256-GCM with SHA-384, OpenSSL's first choice, a resumed connection
// with its page costs about a seventh less on both sides (a server takes our order unless it
// has its own). The sets stay the defaults; a step that fails leaves OpenSSL's order.
void PreferAes128Gcm(SSL_CTX* context) {
  std::string first, rest;
  const STACK_OF(SSL_CIPHER)* ciphers = SSL_CTX_get_ciphers(context);
  for (int i = 0; i < sk_SSL_CIPHER_num(ciphers); ++i) {
    const SSL_CIPHER* cipher = sk_SSL_CIPHER_value(ciphers, i);
    if (SSL_CIPHER_get_kx_nid(cipher) == NID_kx_any) continue;  // TLS 1.3: set apart below
    std::string& list = SSL_CIPHER_get_kx_nid(cipher) == NID_kx_ecdhe &&
                                SSL_CIPHER_get_cipher_nid(cipher) == NID_aes_128_gcm
                            ? first
                            : rest;
    list += (list.empty() ? "" : ":") + std::string(SSL_CIPHER_get_name(cipher));
  }
  if (first.empty() || rest.empty() ||
      SSL_CTX_set_cipher_list(context, (first + ":" + rest).c_str()) != 1 ||
      SSL_CTX_set_ciphersuites(
          context, "TLS_AES_128_GCM_SHA256:TLS_AES_256_GCM_SHA384:TLS_CHACHA20_POLY1305_SHA256") !=
          1) {
    ERR_clear_error();
  }
}

// The context and the sessions, freed at exit before OpenSSL's own clean-up (which was
// registered when OpenSSL started, before this object was made).
struct SharedState {
  SharedState() {
    context = SSL_CTX_new(TLS_client_method());
    if (context == nullptr) {
      ERR_clear_error();
      return;
    }
    SSL_CTX_set_min_proto_version(context, TLS1_2_VERSION);
    PreferAes128Gcm(context);
    // Every chain is checked by TlsChannel::VerifyChain, which collects each reason and
    // refuses the chain unless the connection accepts certificates that fail.
    SSL_CTX_set_verify(context, SSL_VERIFY_PEER, TlsChannel::NoteVerifyError);
    SSL_CTX_set_cert_verify_callback(context, TlsChannel::VerifyChain, nullptr);
    // Sessions are kept here, per server, not in OpenSSL's cache; TLS 1.3 sends them
    // after the handshake, which the callback catches as well.
    SSL_CTX_set_session_cache_mode(context,
                                   SSL_SESS_CACHE_CLIENT | SSL_SESS_CACHE_NO_INTERNAL_STORE);
    SSL_CTX_sess_set_new_cb(context, TlsChannel::OfferSession);
    LoadTrustedCertificates(context);
  }
  ~SharedState() {
    for (auto& [server, session] : sessions) SSL_SESSION_free(session);
    SSL_CTX_free(context);
  }
  SharedState(const SharedState&) = delete;
  SharedState& operator=(const SharedState&) = delete;

  SSL_CTX* context = nullptr;
  std::map<std::string, SSL_SESSION*> sessions;
};

SharedState& State() {
  static SharedState state;
  return state;
}

}  // namespace

SSL_CTX* SharedTlsContext() { return State().context; }

SSL_SESSION* KeptTlsSession(const std::string& server) {
  const auto& sessions = State().sessions;
  const auto found = sessions.find(server);
  return found == sessions.end() ? nullptr : found->second;
}

void KeepTlsSession(const std::string& server, SSL_SESSION* session) {
  SSL_SESSION*& kept = State().sessions[server];
  // The same session given again comes with a reference of its own: one is dropped.
  if (kept != nullptr) SSL_SESSION_free(kept);
  kept = session;
}

void ForgetTlsSession(const std::string& server) {
  auto& sessions = State().sessions;
  const auto found = sessions.find(server);
  if (found == sessions.end()) return;
  SSL_SESSION_free(found->second);
  sessions.erase(found);
}

}  // namespace ferrowyn
