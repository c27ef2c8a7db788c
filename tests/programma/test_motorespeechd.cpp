// The program's engine on speech-dispatcher, apart from the daemon: how it
// reads the daemon's voice list.
#include <QFileInfo>
#include <QStandardPaths>
#include <QTest>

#include "ui/voce/speechd/motorespeechd.h"

using namespace Qt::StringLiterals;

class TestMotoreSpeechd : public QObject {
  Q_OBJECT
 private Q_SLOTS:
  // The engine reads speech-dispatcher's voice list in one pass: name and
  // language of each voice line, whatever else the reply holds.
  void shouldReadTheVoiceList_data() {
    QTest::addColumn<QByteArray>("risposta");
    QTest::addColumn<QStringList>("voci");  // "name/language"
    QTest::addRow("espeak-ng's lines")
        << QByteArray(
               "249-Italian\tit\tnone\r\n249-Italian+Adam\tit\tAdam\r\n"
               "249-English (Great Britain)\ten-gb\tnone\r\n"
               "249 OK VOICE LIST SENT\r\n")
        << QStringList{u"Italian/it"_s, u"Italian+Adam/it"_s, u"English (Great Britain)/en-gb"_s};
    QTest::addRow("no variant, line feeds only")
        << QByteArray("249-Français\tfr\n249 OK VOICE LIST SENT\n") << QStringList{u"Français/fr"_s};
    QTest::addRow("lines that are no voice")
        << QByteArray(
               "249-\tit\tnone\r\n249-Senza lingua\r\n249-Vuota\t\tnone\r\n250-Italian\tit\r\n"
               "\r\n249 OK VOICE LIST SENT\r\n")
        << QStringList{};
    QTest::addRow("an error instead of the list")
        << QByteArray("300-ERR\r\n300 ERR UNKNOWN COMMAND\r\n") << QStringList{};
    QTest::addRow("nothing") << QByteArray() << QStringList{};
  }
  void shouldReadTheVoiceList() {
    QFETCH(QByteArray, risposta);
    QFETCH(QStringList, voci);
    QStringList lette;
    for (const MotoreSpeechd::VoceElencata &v : MotoreSpeechd::LeggiElenco(risposta))
      lette << v.nome + u'/' + v.lingua;
    QCOMPARE(lette, voci);
  }

  // The kept list is named after the synthesiser speech-dispatcher names: a
  // name that is no plain word stays a file name in the cache folder.
  void shouldKeepTheListInTheCacheFolderWhateverTheName_data() {
    QTest::addColumn<QString>("modulo");
    QTest::addColumn<QString>("file");
    QTest::addRow("espeak-ng") << u"espeak-ng"_s << u"voci-espeak-ng.txt"_s;
    QTest::addRow("a path") << u"../../etc/passwd"_s << u"voci-______etc_passwd.txt"_s;
    QTest::addRow("blanks and accents") << u"voce è bella"_s << u"voci-voce___bella.txt"_s;
  }
  void shouldKeepTheListInTheCacheFolderWhateverTheName() {
    QFETCH(QString, modulo);
    QFETCH(QString, file);
    const QFileInfo f(MotoreSpeechd::FileElenco(modulo));
    QCOMPARE(f.fileName(), file);
    QCOMPARE(f.absolutePath(), QStandardPaths::writableLocation(QStandardPaths::CacheLocation));
  }
};

QTEST_GUILESS_MAIN(TestMotoreSpeechd)
#include "test_motorespeechd.moc"
