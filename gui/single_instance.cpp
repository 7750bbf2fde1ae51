// The single-instance guard over a per-user local socket.
#include "gui/single_instance.h"

#include <QLocalSocket>

namespace ferrowyn::gui {

namespace {
constexpr char kRaiseRequest[] = "raise\n";
// Bounds for a copy that hangs: a later start then gives up asking and ends anyway.
constexpr int kConnectWaitMs = 2000;
constexpr int kWriteWaitMs = 2000;
}  // namespace

SingleInstanceGuard::SingleInstanceGuard(QString name, QObject* parent)
    : QObject(parent), name_(std::move(name)) {
  connect(&server_, &QLocalServer::newConnection, this, &SingleInstanceGuard::ServeLaterStart);
}

QString SingleInstanceGuard::DefaultName() {
  QString user = qEnvironmentVariable("USER");
  if (user.isEmpty()) user = qEnvironmentVariable("USERNAME");
  if (user.isEmpty()) user = QStringLiteral("user");
  return QStringLiteral("ferrowyn-") + user;
}

bool SingleInstanceGuard::Claim() {
  if (AskRunningCopy()) return false;
  // Nobody answered: whatever socket is left is stale (a killed copy's).
  QLocalServer::removeServer(name_);
  server_.setSocketOptions(QLocalServer::UserAccessOption);
  if (!server_.listen(name_)) {
    // Another copy won a race for the name in the meantime: hand over to it.
    if (AskRunningCopy()) return false;
    // The guard cannot work here (no writable socket directory); run unguarded
    // rather than refuse to start.
  }
  return true;
}

bool SingleInstanceGuard::AskRunningCopy() {
  QLocalSocket socket;
  socket.connectToServer(name_);
  if (!socket.waitForConnected(kConnectWaitMs)) return false;
  socket.write(kRaiseRequest);
  socket.waitForBytesWritten(kWriteWaitMs);
  socket.disconnectFromServer();
  return true;
}

void SingleInstanceGuard::ServeLaterStart() {
  while (QLocalSocket* socket = server_.nextPendingConnection()) {
    connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
    connect(socket, &QLocalSocket::readyRead, this, [this, socket] {
      if (socket->readAll().contains('\n')) emit activationRequested();
    });
  }
}

}  // namespace ferrowyn::gui
