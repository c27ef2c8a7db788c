// The server's settings through the real windows: from Opzioni behind the
// teacher's door, typed by keyboard, checked with "Prova" against a private
// PostgreSQL without holding the window, and saved for this user.
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <QAction>
#include <QComboBox>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QTemporaryDir>
#include <QTest>

#include "start/programmaprova.h"
#include "support/porta.h"
#include "support/postgresprivato.h"
#include "ui/opzioni/frmopzioni.h"
#include "ui/registro/frmserver.h"

using namespace Qt::StringLiterals;

namespace {

FrmServer *Aperta() {
  for (QWidget *w : QApplication::topLevelWidgets())
    if (auto *f = qobject_cast<FrmServer *>(w); f && f->isVisible()) return f;
  return nullptr;
}

// Selects what a box holds and types over it, as a user does.
void Scrivi(QWidget *w, const QString &testo) {
  w->setFocus();
  QTest::keyClick(w, Qt::Key_A, Qt::ControlModifier);
  if (testo.isEmpty()) QTest::keyClick(w, Qt::Key_Delete);
  QTest::keyClicks(w, testo);
}

// Takes connections and never answers.
int PortaMuta(int &s) {
  s = ::socket(AF_INET, SOCK_STREAM, 0);
  sockaddr_in a{};
  a.sin_family = AF_INET;
  a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  socklen_t n = sizeof a;
  if (::bind(s, reinterpret_cast<sockaddr *>(&a), sizeof a) != 0 || ::listen(s, 8) != 0 ||
      ::getsockname(s, reinterpret_cast<sockaddr *>(&a), &n) != 0)
    return 0;
  return ntohs(a.sin_port);
}

}  // namespace

class TestFrmServer : public QObject {
  Q_OBJECT

 private Q_SLOTS:
  void initTestCase() {
    qputenv("XDG_CONFIG_HOME", QFile::encodeName(m_dir.filePath(u"utente"_s)));
    qputenv("XDG_CONFIG_DIRS", QFile::encodeName(m_dir.filePath(u"sistema"_s)));
    if (!m_pg.avvia()) QSKIP(qPrintable(m_pg.errore()));
    QVERIFY2(m_pg.preparaVornel(), qPrintable(m_pg.errore()));
  }

  void cleanup() {
    for (QWidget *w : QApplication::topLevelWidgets()) w->close();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QFile::remove(ConfigServer::FileUtente());
    QFile::remove(ConfigServer::FileSistema());
  }

  void shouldSetTheServerFromTheOptionsByKeyboard() {
    ProgrammaDiProva p;
    RegistroConPorta(p.finestre, p.dir.percorso());
    frmInizio *inizio = p.finestre.avvia(p.ctx);
    QVERIFY(QTest::qWaitForWindowActive(inizio));
    {
      AllaPorta porta(u"2468"_s);
      inizio->findChild<QAction *>(u"mnuOpzioni"_s)->trigger();
      QTRY_VERIFY(p.finestre.opzioni() && p.finestre.opzioni()->isVisible());
    }
    FrmOpzioni *opzioni = p.finestre.opzioni();
    QVERIFY(QTest::qWaitForWindowActive(opzioni));
    // Alt+S: the door remembers the teacher, the settings open at once.
    QTest::keyClick(opzioni, Qt::Key_S, Qt::AltModifier);
    QTRY_VERIFY(Aperta());
    FrmServer *f = Aperta();
    QVERIFY(QTest::qWaitForWindowActive(f));
    QCOMPARE(QApplication::focusWidget(), f->findChild<QLineEdit *>(u"txtHost"_s));
    for (QWidget *w : f->findChildren<QWidget *>())
      if (w->isVisibleTo(f) && !w->objectName().startsWith(u"qt_"_s) &&
          (qobject_cast<QLineEdit *>(w) || qobject_cast<QPushButton *>(w)))
        QVERIFY2(!w->accessibleName().isEmpty(), qPrintable(w->objectName()));

    QTest::keyClicks(QApplication::focusWidget(), u"localhost"_s);
    Scrivi(f->findChild<QSpinBox *>(u"spnPorta"_s), QString::number(m_pg.porta()));
    Scrivi(f->findChild<QLineEdit *>(u"txtPassword"_s),
           QString::fromLatin1(PostgresPrivato::kPasswordComputer));
    auto *ssl = f->findChild<QComboBox *>(u"cmbSsl"_s);
    auto *certificato = f->findChild<QLineEdit *>(u"txtCertificato"_s);
    QCOMPARE(ssl->currentData().toString(), u"require"_s);
    QVERIFY(!certificato->isEnabled());
    ssl->setFocus();
    QTest::keyClick(ssl, Qt::Key_Up);
    QCOMPARE(ssl->currentData().toString(), u"verify-full"_s);
    QVERIFY(certificato->isEnabled());
    Scrivi(certificato, m_pg.certificatoCA());
    Scrivi(f->findChild<QLineEdit *>(u"txtComputer"_s), u"lab-07"_s);
    auto *esito = f->findChild<QLabel *>(u"lblEsito"_s);
    QTest::keyClick(f, Qt::Key_P, Qt::AltModifier);
    QTRY_VERIFY2_WITH_TIMEOUT(esito->text().startsWith(u"Collegamento riuscito: PostgreSQL 15"_s),
                              qPrintable(esito->text()), 30000);
    QVERIFY(!f->inProva());

    QTest::keyClick(f, Qt::Key_S, Qt::AltModifier);
    QTRY_VERIFY2(esito->text().contains(ConfigServer::FileUtente()), qPrintable(esito->text()));
    // It holds the password: nobody else reads it.
    const QFileDevice::Permissions permessi = QFile::permissions(ConfigServer::FileUtente());
    QVERIFY(permessi.testFlags(QFileDevice::ReadOwner | QFileDevice::WriteOwner));
    QVERIFY(!(permessi & (QFileDevice::ReadGroup | QFileDevice::ReadOther | QFileDevice::WriteGroup |
                          QFileDevice::WriteOther)));
    const ConfigServer c = ConfigServer::Leggi();
    QCOMPARE(c.host, u"localhost"_s);
    QCOMPARE(c.porta, m_pg.porta());
    QCOMPARE(c.password, QString::fromLatin1(PostgresPrivato::kPasswordComputer));
    QCOMPARE(c.sslrootcert, m_pg.certificatoCA());
    QCOMPARE(c.nomeComputer(), u"lab-07"_s);
    QCOMPARE(ProvaServer::Prova(c).esito, ProvaServer::Esito::Ok);
  }

  void shouldTellTheFaultWithoutHoldingTheWindow_data() {
    QTest::addColumn<QString>("caso");
    QTest::addColumn<QString>("detto");
    QTest::newRow("server che non risponde") << u"muto"_s << u"non risponde sulla porta"_s;
    QTest::newRow("password cambiata") << u"password"_s << u"password"_s;
    QTest::newRow("niente indirizzo") << u"vuoto"_s << u"Manca l'indirizzo"_s;
  }

  void shouldTellTheFaultWithoutHoldingTheWindow() {
    QFETCH(QString, caso);
    QFETCH(QString, detto);
    int s = -1;
    const int muta = PortaMuta(s);
    FrmServer f;
    f.show();
    QVERIFY(QTest::qWaitForWindowActive(&f));
    Scrivi(f.findChild<QLineEdit *>(u"txtHost"_s), caso == u"vuoto"_s ? QString() : u"127.0.0.1"_s);
    Scrivi(f.findChild<QSpinBox *>(u"spnPorta"_s), QString::number(caso == u"muto"_s ? muta : m_pg.porta()));
    Scrivi(f.findChild<QLineEdit *>(u"txtPassword"_s), u"vecchia"_s);
    auto *ssl = f.findChild<QComboBox *>(u"cmbSsl"_s);
    ssl->setFocus();
    QTest::keyClick(ssl, Qt::Key_Down);
    QCOMPARE(ssl->currentData().toString(), u"require"_s);
    QVERIFY(!f.findChild<QLineEdit *>(u"txtCertificato"_s)->isEnabled());
    auto *prova = f.findChild<QPushButton *>(u"cmdProva"_s);
    auto *esito = f.findChild<QLabel *>(u"lblEsito"_s);
    QTest::mouseClick(prova, Qt::LeftButton);
    if (caso == u"muto"_s) {
      // Waiting on the server, the window still takes the keys.
      QVERIFY(f.inProva());
      QVERIFY(!prova->isEnabled());
      QVERIFY(esito->text().startsWith(u"Prova in corso"_s));
      auto *computer = f.findChild<QLineEdit *>(u"txtComputer"_s);
      Scrivi(computer, u"lab-09"_s);
      QCOMPARE(computer->text(), u"lab-09"_s);
    }
    QTRY_VERIFY_WITH_TIMEOUT(!f.inProva(), 30000);
    ::close(s);
    QVERIFY2(esito->text().contains(detto), qPrintable(esito->text()));
    QVERIFY(prova->isEnabled());
    QCOMPARE(esito->accessibleDescription(), esito->text());
  }

  void shouldShowTheTechniciansFileAndRefuseAHalfSetting() {
    ConfigServer tecnico;
    tecnico.host = u"registro.scuola.lan"_s;
    tecnico.password = u"dal-tecnico"_s;
    tecnico.sslmode = u"verify-full"_s;
    tecnico.sslrootcert = u"/etc/xdg/vornel/scuola-ca.crt"_s;
    QVERIFY(tecnico.scriviFile(ConfigServer::FileSistema()));
    FrmServer f;
    f.show();
    QVERIFY(QTest::qWaitForWindowActive(&f));
    // Opened on settings made, it checks them at once: the school's
    // certificate isn't on this machine.
    QTRY_VERIFY_WITH_TIMEOUT(!f.inProva(), 30000);
    QVERIFY2(f.findChild<QLabel *>(u"lblEsito"_s)
                 ->text()
                 .contains(u"«/etc/xdg/vornel/scuola-ca.crt» non si legge"_s),
             qPrintable(f.findChild<QLabel *>(u"lblEsito"_s)->text()));
    QVERIFY(f.findChild<QLabel *>(u"lblSistema"_s)->text().contains(ConfigServer::FileSistema()));
    QCOMPARE(f.findChild<QLineEdit *>(u"txtHost"_s)->text(), u"registro.scuola.lan"_s);
    QCOMPARE(f.impostazioni().password, u"dal-tecnico"_s);
    // verify-full without the school's certificate: not saved.
    Scrivi(f.findChild<QLineEdit *>(u"txtCertificato"_s), QString());
    // A mnemonic clicks its button a moment later, as a mouse would.
    QTest::keyClick(&f, Qt::Key_S, Qt::AltModifier);
    QTRY_VERIFY(f.findChild<QLabel *>(u"lblEsito"_s)->text().contains(u"certificato della scuola"_s));
    QVERIFY(!QFile::exists(ConfigServer::FileUtente()));
    QCOMPARE(QApplication::focusWidget(), f.findChild<QLineEdit *>(u"txtCertificato"_s));
  }

 private:
  QTemporaryDir m_dir;
  PostgresPrivato m_pg;
};

QTEST_MAIN(TestFrmServer)
#include "test_frmserver.moc"
