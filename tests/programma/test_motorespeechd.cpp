// The program's engine on speech-dispatcher, apart from the daemon: how it
// reads the daemon's voice list.
#include <fcntl.h>
#include <unistd.h>

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>
#include <QThread>
#include <memory>

#include "support/voceprivata.h"
#include "ui/voce/speechd/motorespeechd.h"

using namespace Qt::StringLiterals;

namespace {

QString g_senzaDemone;  // why the test's own speech-dispatcher can't be had

// Holds speech-dispatcher's pid file locked as a daemon that is leaving holds
// it: a new daemon refuses to start ("already running") until it is freed.
class PostoOccupato {
 public:
  explicit PostoOccupato(const QString &run) {
    const QString pid = run + u"/speech-dispatcher/pid"_s;
    QDir().mkpath(pid);
    m_fd = ::open(QFile::encodeName(pid + u"/speech-dispatcher.pid"_s).constData(), O_RDWR | O_CREAT, 0600);
    struct flock l = {};
    l.l_type = F_WRLCK;
    l.l_whence = SEEK_SET;
    if (m_fd >= 0 && ::fcntl(m_fd, F_SETLK, &l) != 0) libera();
  }
  ~PostoOccupato() { libera(); }
  PostoOccupato(const PostoOccupato &) = delete;
  PostoOccupato &operator=(const PostoOccupato &) = delete;
  [[nodiscard]] bool occupato() const { return m_fd >= 0; }
  void libera() {
    if (m_fd >= 0) ::close(m_fd);
    m_fd = -1;
  }

 private:
  int m_fd = -1;
};

}  // namespace

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

  // A program started while speech-dispatcher is leaving finds it neither
  // answering nor startable: the engine waits and asks again, and has its
  // voice once the old daemon has gone; while it stays, the engine reports
  // the failure as an error, without hanging.
  void shouldWaitForALeavingDaemon_data() {
    QTest::addColumn<int>("liberoDopo");  // ms the old daemon takes to go; -1: it stays
    QTest::addColumn<bool>("pronto");
    QTest::addRow("gone after 0.3 s") << 300 << true;
    QTest::addRow("gone after 1.2 s") << 1200 << true;
    QTest::addRow("stays") << -1 << false;
  }
  void shouldWaitForALeavingDaemon() {
    QFETCH(int, liberoDopo);
    QFETCH(bool, pronto);
    if (!g_senzaDemone.isEmpty()) QSKIP(qPrintable(g_senzaDemone));
    // A folder of the row's own, so that no daemon of another row answers.
    QTemporaryDir run;
    QVERIFY(run.isValid());
    QFile::setPermissions(run.path(), QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
    qputenv("XDG_RUNTIME_DIR", QFile::encodeName(run.path()));
    qputenv("SPEECHD_ADDRESS", QFile::encodeName(u"unix_socket:"_s + run.path() + u"/speech-dispatcher/speechd.sock"_s));
    auto posto = std::make_shared<PostoOccupato>(run.path());
    QVERIFY(posto->occupato());
    std::unique_ptr<QThread> vecchio(QThread::create([posto, liberoDopo] {
      if (liberoDopo < 0) return;
      QThread::msleep(liberoDopo);
      posto->libera();
    }));
    vecchio->start();
    {
      MotoreSpeechd m;
      QCOMPARE(m.state() == QTextToSpeech::Ready, pronto);
      if (!pronto) {
        QCOMPARE(m.errorReason(), QTextToSpeech::ErrorReason::Initialization);
        QVERIFY2(m.errorString().contains(u"speechd.sock"_s), qPrintable(m.errorString()));
      }
    }
    QVERIFY(vecchio->wait(5000));
  }
};

int main(int argc, char **argv) {
  QTemporaryDir cartella;
  g_senzaDemone = cartella.isValid() ? PreparaVocePrivata(cartella.path()) : u"no temporary folder"_s;
  QCoreApplication app(argc, argv);
  TestMotoreSpeechd t;
  return QTest::qExec(&t, argc, argv);
}
#include "test_motorespeechd.moc"
