// The server's settings through the real windows: from Opzioni behind the
// teacher's door, typed by keyboard, checked against a private PostgreSQL
// without holding the window, and saved for this user.
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
#include "provaserver.h"
#include "support/postgresprivato.h"
#include "ui/opzioni/frmopzioni.h"
#include "ui/registro/frmserver.h"

using namespace Qt::StringLiterals;

namespace {

// Selects what a box holds and types over it.
void Scrivi(QWidget *w, const QString &testo) {
  w->setFocus();
  QTest::keyClick(w, Qt::Key_A, Qt::ControlModifier);
  QTest::keyClick(w, Qt::Key_Delete);
  QTest::keyClicks(w, testo);
}

template <typename T = QLineEdit>
T *Campo(QWidget *f, const QString &nome) {
  return f->findChild<T *>(nome);
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
    QuadernoRegistro *quaderno = RegistroConPorta(p.finestre, p.dir.percorso());
    QVERIFY(!quaderno->invio());
    frmInizio *inizio = p.finestre.avvia(p.ctx);
    QVERIFY(QTest::qWaitForWindowActive(inizio));
    {
      AllaPorta porta(u"2468"_s);
      inizio->findChild<QAction *>(u"mnuOpzioni"_s)->trigger();
      QTRY_VERIFY(p.finestre.opzioni() && p.finestre.opzioni()->isVisible());
    }
    QVERIFY(QTest::qWaitForWindowActive(p.finestre.opzioni()));
    // Alt+S: the door remembers the teacher, the settings open at once.
    QTest::keyClick(p.finestre.opzioni(), Qt::Key_S, Qt::AltModifier);
    FrmServer *f = nullptr;
    QTRY_VERIFY((f = p.finestre.opzioni()->findChild<FrmServer *>()) && f->isActiveWindow());
    QCOMPARE(QApplication::focusWidget(), Campo(f, u"txtHost"_s));
    QTest::keyClicks(Campo(f, u"txtHost"_s), u"localhost"_s);
    Scrivi(Campo<QSpinBox>(f, u"spnPorta"_s), QString::number(m_pg.porta()));
    Scrivi(Campo(f, u"txtPassword"_s), QString::fromLatin1(PostgresPrivato::kPasswordComputer));
    // Verifying the certificate asks for the school's authority.
    auto *ssl = Campo<QComboBox>(f, u"cmbSsl"_s);
    QVERIFY(!Campo(f, u"txtCertificato"_s)->isEnabled());
    ssl->setFocus();
    QTest::keyClick(ssl, Qt::Key_Up);
    QCOMPARE(ssl->currentData().toString(), u"verify-full"_s);
    Scrivi(Campo(f, u"txtCertificato"_s), m_pg.certificatoCA());
    Scrivi(Campo(f, u"txtComputer"_s), u"lab-07"_s);
    auto *esito = Campo<QLabel>(f, u"lblEsito"_s);
    // A mnemonic clicks its button a moment later, as a mouse would.
    QTest::keyClick(f, Qt::Key_P, Qt::AltModifier);
    QTRY_VERIFY2_WITH_TIMEOUT(esito->text().startsWith(u"Collegamento riuscito: PostgreSQL 15"_s),
                              qPrintable(esito->text()), 30000);
    QCOMPARE(esito->accessibleDescription(), esito->text());

    QTest::keyClick(f, Qt::Key_S, Qt::AltModifier);
    QTRY_VERIFY(esito->text().contains(ConfigServer::FileUtente()));
    // It holds the password: nobody else reads it.
    QCOMPARE(QFile::permissions(ConfigServer::FileUtente()) & ~(QFile::ReadUser | QFile::WriteUser),
             QFile::ReadOwner | QFile::WriteOwner);
    const ConfigServer c = ConfigServer::Leggi();
    QCOMPARE(c.nomeComputer(), u"lab-07"_s);
    QCOMPARE(ProvaServer::Prova(c).esito, ProvaServer::Esito::Ok);
    // In force at once: the next exercise reaches the server with no restart.
    QVERIFY(quaderno->invio());
    quaderno->iniziaEsercizio(Apertura(std::nullopt));
    OperazioneChiusa op;
    op.numero = 1;
    op.risultato = u"1.270"_s;
    op.risposte.append({u"1.270"_s, {}});
    quaderno->operazioneChiusa(op);
    QTRY_COMPARE_WITH_TIMEOUT(
        Sguardo(m_pg).valore(u"SELECT count(*) FROM operazioni o JOIN esercizi e ON e.id = o.esercizio"
                             u" WHERE e.computer = 'lab-07'"_s).toInt(),
        1, 30000);
  }

  void shouldNotHoldTheWindowWhileTheServerIsSilent() {
    PortaMuta muta;
    FrmServer f;
    f.show();
    QVERIFY(QTest::qWaitForWindowActive(&f));
    QTest::keyClicks(Campo(&f, u"txtHost"_s), u"127.0.0.1"_s);
    Scrivi(Campo<QSpinBox>(&f, u"spnPorta"_s), QString::number(muta.porta()));
    auto *prova = Campo<QPushButton>(&f, u"cmdProva"_s);
    QTest::mouseClick(prova, Qt::LeftButton);
    QVERIFY(f.inProva());
    QVERIFY(!prova->isEnabled());
    // While the server keeps silent, the window takes the keys.
    Scrivi(Campo(&f, u"txtComputer"_s), u"lab-09"_s);
    QCOMPARE(Campo(&f, u"txtComputer"_s)->text(), u"lab-09"_s);
    QTRY_VERIFY_WITH_TIMEOUT(!f.inProva(), 30000);
    QVERIFY2(Campo<QLabel>(&f, u"lblEsito"_s)->text().contains(u"non risponde sulla porta"_s),
             qPrintable(Campo<QLabel>(&f, u"lblEsito"_s)->text()));
    QVERIFY(prova->isEnabled());
  }

  void shouldShowTheTechniciansFileAndRefuseAHalfSetting() {
    ConfigServer tecnico;
    tecnico.host = u"registro.scuola.lan"_s;
    tecnico.sslmode = u"verify-full"_s;
    tecnico.sslrootcert = u"/etc/xdg/vornel/scuola-ca.crt"_s;
    QVERIFY(tecnico.scriviFile(ConfigServer::FileSistema()));
    FrmServer f;
    f.show();
    QVERIFY(QTest::qWaitForWindowActive(&f));
    QVERIFY(Campo<QLabel>(&f, u"lblSistema"_s)->text().contains(ConfigServer::FileSistema()));
    QCOMPARE(Campo(&f, u"txtHost"_s)->text(), u"registro.scuola.lan"_s);
    // Opened on settings made, it checks them at once: this machine lacks
    // the school's certificate.
    auto *esito = Campo<QLabel>(&f, u"lblEsito"_s);
    QTRY_VERIFY_WITH_TIMEOUT(!f.inProva(), 30000);
    QVERIFY2(esito->text().contains(u"«/etc/xdg/vornel/scuola-ca.crt» non si legge"_s),
             qPrintable(esito->text()));
    // Verifying without the authority's file: not saved.
    Scrivi(Campo(&f, u"txtCertificato"_s), QString());
    QTest::keyClick(&f, Qt::Key_S, Qt::AltModifier);
    QTRY_VERIFY(esito->text().startsWith(u"Per la verifica del certificato"_s));
    QVERIFY(!QFile::exists(ConfigServer::FileUtente()));
    QCOMPARE(QApplication::focusWidget(), Campo(&f, u"txtCertificato"_s));
  }

 private:
  QTemporaryDir m_dir;
  PostgresPrivato m_pg;
};

QTEST_MAIN(TestFrmServer)
#include "test_frmserver.moc"
