// The TLS client settings of the whole process, on OpenSSL: one context, made on first
// use, that every TLS connection (TlsChannel) is made from, so that the trusted
// certificates are loaded once per run and not once per page; and the last session of
// each server, offered again on the next connection to it so that one connection per
// page costs a resumed handshake, not a full one.
//
// Threading: GUI thread only, like THttpCli, the one user.
#pragma once

#include <string>

typedef struct ssl_ctx_st SSL_CTX;
typedef struct ssl_session_st SSL_SESSION;

namespace ferrowyn {

// The shared client context: TLS client method, peer verification, and as trusted
// certificates those named by SSL_CERT_FILE (a PEM bundle) and SSL_CERT_DIR (directories
// of PEM files, separated by ":") when either is set and not empty, in place of the
// system's; otherwise the system's (OpenSSL's default file and directory). A file or
// directory that cannot be read adds nothing. Null when OpenSSL cannot make a context.
// The variables are read once, at the first call.
SSL_CTX* SharedTlsContext();

// The session kept for `server` ("host:port"), or null. The caller does not own it
// (SSL_set_session takes a reference of its own).
SSL_SESSION* KeptTlsSession(const std::string& server);

// Keeps `session` as the one to offer to `server`, taking over one reference to it;
// the session kept before is freed. Only sessions of verified connections are given
// here (see TlsChannel).
void KeepTlsSession(const std::string& server, SSL_SESSION* session);

// Forgets the session kept for `server`, if any.
void ForgetTlsSession(const std::string& server);

}  // namespace ferrowyn
