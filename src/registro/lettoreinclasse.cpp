#include "registro/lettoreinclasse.h"

#include <QSqlDriver>
#include <QThread>
#include <QVariant>

#include "registro/schemaserver.h"

using namespace Qt::StringLiterals;

namespace {
// ms the window's thread gives the reading thread to finish when the view's
// connection closes; a read held by a silent server is left to end by itself.
constexpr unsigned long kAttesaChiusura = 200;
}  // namespace

// Lives on the reading thread, with the connection and its register.
class LavoroInClasse : public QObject {
  Q_OBJECT
 public:
  LavoroInClasse(QString connessione, std::shared_ptr<std::atomic<bool>> ascolto)
      : m_connessione(std::move(connessione)), m_ascolto(std::move(ascolto)) {}
  ~LavoroInClasse() override {
    if (m_registro && m_registro->db().isOpen())
      m_registro->db().driver()->unsubscribeFromNotification(QString::fromLatin1(SchemaServer::kCanale));
    *m_ascolto = false;
    m_registro.reset();  // the connection closes, on this thread
  }

  // On the reading thread, once the connection's driver is there.
  void avvia() {
    m_registro = Registro::SulServer(m_connessione);
    if (!m_registro->pronto()) return;
    QSqlDriver *driver = m_registro->db().driver();
    connect(driver, &QSqlDriver::notification, this,
            [this](const QString &nome, QSqlDriver::NotificationSource, const QVariant &testo) {
              if (nome == QLatin1String(SchemaServer::kCanale)) Q_EMIT avviso(testo.toString());
            });
    *m_ascolto = driver->subscribeToNotification(QString::fromLatin1(SchemaServer::kCanale));
  }

  void leggi(qint64 classe) {
    if (!m_registro) return;
    const auto righe = LeggiInClasse(*m_registro, classe);
    const QString messaggio = m_registro->prendiMessaggio().value_or(QString());
    const bool scollegato = !righe && m_registro->guasto() == Guasto::Scollegato;
    if (scollegato) *m_ascolto = false;
    Q_EMIT letta(classe, righe, messaggio, scollegato);
  }

 Q_SIGNALS:
  void letta(qint64 classe, const std::optional<QList<AlunnoAlLavoro>> &righe, const QString &messaggio,
             bool scollegato);
  void avviso(const QString &testo);

 private:
  QString m_connessione;
  std::shared_ptr<std::atomic<bool>> m_ascolto;
  std::unique_ptr<Registro> m_registro;
};

LettoreInClasse::LettoreInClasse(const QString &connessione, QObject *genitore) : QObject(genitore) {
  qRegisterMetaType<std::optional<QList<AlunnoAlLavoro>>>();
  m_thread = new QThread;
  m_thread->setObjectName(u"vornel-inclasse"_s);
  m_lavoro = new LavoroInClasse(connessione, m_ascolto);
  m_lavoro->moveToThread(m_thread);
  // Only the thread that owns the connection's driver may use it.
  QSqlDatabase::database(connessione, false).driver()->moveToThread(m_thread);
  connect(m_lavoro, &LavoroInClasse::letta, this, &LettoreInClasse::letta);
  connect(m_lavoro, &LavoroInClasse::avviso, this, &LettoreInClasse::avviso);
  m_thread->start();
  LavoroInClasse *l = m_lavoro;
  QMetaObject::invokeMethod(l, [l] { l->avvia(); }, Qt::QueuedConnection);
}

LettoreInClasse::~LettoreInClasse() {
  LavoroInClasse *l = m_lavoro;
  QThread *t = m_thread;
  QMetaObject::invokeMethod(
      l,
      [l, t] {
        delete l;
        t->quit();
      },
      Qt::QueuedConnection);
  if (t->wait(kAttesaChiusura)) {
    delete t;
  } else {
    QObject::connect(t, &QThread::finished, t, &QObject::deleteLater);
  }
}

void LettoreInClasse::leggi(qint64 classe) {
  LavoroInClasse *l = m_lavoro;
  QMetaObject::invokeMethod(l, [l, classe] { l->leggi(classe); }, Qt::QueuedConnection);
}

#include "lettoreinclasse.moc"
