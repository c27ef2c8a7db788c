#pragma once

// A TCP relay in the test's own process, on 127.0.0.1 only, between the lab's
// computers and the private server: the network the test can cut. taglia()
// drops every connection at once (mid-batch, as a pulled cable seen by both
// ends); rifiuta() turns new connections away until told otherwise.
#include <QHostAddress>
#include <QList>
#include <QPointer>
#include <QTcpServer>
#include <QTcpSocket>

class Staffetta : public QObject {
 public:
  explicit Staffetta(int portaServer) : m_portaServer(portaServer) {
    m_ascolto.listen(QHostAddress::LocalHost, 0);
    QObject::connect(&m_ascolto, &QTcpServer::newConnection, this, [this] { accetta(); });
  }
  ~Staffetta() override { taglia(); }

  [[nodiscard]] int porta() const { return m_ascolto.serverPort(); }
  [[nodiscard]] int tagliate() const { return m_tagliate; }
  [[nodiscard]] int accettate() const { return m_accettate; }
  // Connections tried, taken or turned away.
  [[nodiscard]] int tentativi() const { return m_accettate + m_rifiutate; }

  void taglia() {
    const auto coppie = std::exchange(m_coppie, {});
    for (const auto &[a, b] : coppie) {
      ++m_tagliate;
      if (a) a->abort();
      if (b) b->abort();
      if (a) a->deleteLater();
      if (b) b->deleteLater();
    }
  }
  void rifiuta(bool si) { m_rifiuta = si; }
  // No more listening: a connection tried now is refused by the system at
  // once, whoever is waiting on this thread.
  void spegni() {
    m_ascolto.close();
    taglia();
  }

 private:
  void accetta() {
    while (QTcpSocket *computer = m_ascolto.nextPendingConnection()) {
      if (m_rifiuta) {
        ++m_rifiutate;
        computer->abort();
        computer->deleteLater();
        continue;
      }
      ++m_accettate;
      auto *server = new QTcpSocket(this);
      computer->setParent(this);
      const QPointer<QTcpSocket> a(computer), b(server);
      m_coppie.append({a, b});
      const auto passa = [](QTcpSocket *da, const QPointer<QTcpSocket> &a) {
        if (a && a->state() == QAbstractSocket::ConnectedState) a->write(da->readAll());
      };
      // What the computer sends before the server answers waits in its socket.
      QObject::connect(server, &QTcpSocket::connected, this, [computer, b, passa] { passa(computer, b); });
      QObject::connect(computer, &QTcpSocket::readyRead, this, [computer, b, passa] { passa(computer, b); });
      QObject::connect(server, &QTcpSocket::readyRead, this, [server, a, passa] { passa(server, a); });
      const auto chiudi = [this, a, b] {
        m_coppie.removeIf([&](const auto &c) { return c.first == a; });
        if (a) {
          a->disconnectFromHost();
          a->deleteLater();
        }
        if (b) {
          b->disconnectFromHost();
          b->deleteLater();
        }
      };
      QObject::connect(computer, &QTcpSocket::disconnected, this, chiudi);
      QObject::connect(server, &QTcpSocket::disconnected, this, chiudi);
      QObject::connect(server, &QTcpSocket::errorOccurred, this, chiudi);
      server->connectToHost(QHostAddress::LocalHost, static_cast<quint16>(m_portaServer));
    }
  }

  int m_portaServer;
  QTcpServer m_ascolto;
  QList<std::pair<QPointer<QTcpSocket>, QPointer<QTcpSocket>>> m_coppie;
  bool m_rifiuta = false;
  int m_tagliate = 0, m_accettate = 0, m_rifiutate = 0;
};
