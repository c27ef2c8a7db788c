// The computer's mirror of the server's classes, pupils and plans: this
// computer's own rows of the same name become the server's, nothing is written
// when nothing changed; and the pupil picking their name in server mode sees
// the server's pupils only (renames and erasures: test_invio).
#include <QApplication>
#include <QComboBox>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QTest>
#include <QTimer>

// The windows' state first: its Operazione is a type, the tests' a function.
// clang-format off
#include "ui/registro/frmalunno.h"
// clang-format on
#include "provaserver.h"
#include "registro/piani.h"
#include "registro/registrazione.h"
#include "registro/registro.h"
#include "registro/registroprova.h"
#include "registro/riflesso.h"

using namespace Qt::StringLiterals;
using namespace Riflesso;

namespace {

const QString kA = u"00000000-0000-4000-8000-00000000000a"_s, kB = u"00000000-0000-4000-8000-00000000000b"_s;
const QString kAnna = u"00000000-0000-4000-8000-000000000001"_s,
              kBruno = u"00000000-0000-4000-8000-000000000002"_s,
              kCarla = u"00000000-0000-4000-8000-000000000003"_s;

DatiServer Scuola() {
  DatiServer d;
  d.classi = {{kA, u"3ª A"_s}, {kB, u"3ª B"_s}};
  d.alunni = {{kAnna, kA, u"Anna"_s}, {kBruno, kA, u"Bruno"_s}, {kCarla, kB, u"Carla"_s}};
  d.piani = {{kCarla, {1, 0, 0, 0, 1}}};
  return d;
}

qint64 Id(Sguardo &s, const QString &uuid) {
  return s.valore(u"SELECT id FROM alunni WHERE uuid = ?"_s, {uuid}).toLongLong();
}

QStringList Nomi(Registro &r, qint64 classe) {
  QStringList n;
  for (const Alunno &a : Alunni(r, classe)) n << a.nome;
  return n;
}

}  // namespace

class TestRiflesso : public QObject {
  Q_OBJECT
 private Q_SLOTS:
  void cleanup() {
    for (QWidget *w : QApplication::topLevelWidgets()) w->close();
  }

  void shouldMakeThisComputersOwnRowsOfTheSameNameTheServers() {
    RegistroProva p;
    Registro r(p.file);
    const qint64 classe = r.nuovaClasse(u"3ª A"_s).id;
    const qint64 anna = r.nuovoAlunno(classe, u"Anna"_s).id;
    const qint64 ospite = r.nuovoAlunno(classe, u"Ospite"_s).id;
    {
      RegistrazioneEsercizio reg(r);
      QVERIFY(reg.inizia(Apertura(anna)));
      QVERIFY(reg.operazioneChiusa(Operazione(1)));
    }
    int cambiati = 0;
    QVERIFY(Aggiorna(r, Scuola(), &cambiati));
    QVERIFY(cambiati > 0);
    Sguardo s(p.file);
    // The same rows: Anna keeps her exercise, now under the server's uuid.
    QCOMPARE(Id(s, kAnna), anna);
    QCOMPARE(s.valore(u"SELECT uuid FROM classi WHERE id = ?"_s, {classe}).toString(), kA);
    QCOMPARE(s.valore(u"SELECT count(*) FROM esercizi WHERE alunno = ?"_s, {anna}).toInt(), 1);
    // The pupil picks among the server's: this computer's own guest is not one.
    QCOMPARE(Nomi(r, classe), (QStringList{u"Anna"_s, u"Bruno"_s}));
    QVERIFY(r.alunno(ospite));
    QCOMPARE(Classi(r).size(), 2);
    QCOMPARE(LeggiPiano(r, Id(s, kCarla)), std::optional<Opzioni>(Opzioni{true, false, false, false, true}));
    // Read again unchanged: nothing written.
    QVERIFY(Aggiorna(r, Scuola(), &cambiati));
    QCOMPARE(cambiati, 0);
  }

  void shouldOfferThePupilTheServersNamesOnly_data() {
    QTest::addColumn<bool>("riflesso");
    QTest::newRow("mirror filled") << true;
    QTest::newRow("server not reached yet") << false;
  }

  void shouldOfferThePupilTheServersNamesOnly() {
    QFETCH(bool, riflesso);
    RegistroProva p;
    Registro r(p.file);
    r.impostaUscita(true);
    QVERIFY(r.nuovoAlunno(r.nuovaClasse(u"Classe di prova"_s).id, u"Ospite"_s));
    if (riflesso) QVERIFY(Aggiorna(r, Scuola()));
    FrmAlunno finestra(r, AlunnoScelto{});
    finestra.show();
    QVERIFY(QTest::qWaitForWindowActive(&finestra));
    auto *classi = finestra.findChild<QComboBox *>(u"cmbClasse"_s);
    auto *alunni = finestra.findChild<QListWidget *>(u"lstAlunni"_s);
    QVERIFY(classi && alunni);
    if (!riflesso) {
      QCOMPARE(classi->count(), 0);
      QVERIFY(finestra.findChild<QLabel *>(u"lblAvviso"_s)->text().contains(u"server"_s));
      return;
    }
    QCOMPARE(classi->count(), 2);
    QCOMPARE(classi->currentText(), u"3ª A"_s);
    QCOMPARE(alunni->count(), 2);
    // By keyboard: the second name, then "Sono io".
    QTest::keyClick(alunni, Qt::Key_Down);
    QCOMPARE(alunni->currentItem()->text(), u"Bruno"_s);
    QTest::keyClick(alunni, Qt::Key_Return);
    QCOMPARE(finestra.result(), int(QDialog::Accepted));
    Sguardo s(p.file);
    QCOMPARE(finestra.scelta()->id, Id(s, kBruno));
    QCOMPARE(finestra.scelta()->nomeClasse, u"3ª A"_s);
  }
};

QTEST_MAIN(TestRiflesso)
#include "test_riflesso.moc"
