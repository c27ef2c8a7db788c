#include "registro/configserver.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QSettings>
#include <QStandardPaths>
#include <QSysInfo>

using namespace Qt::StringLiterals;

namespace {

void LeggiGruppo(QSettings &s, ConfigServer &c) {
  s.beginGroup(u"server"_s);
  auto testo = [&](const QString &chiave, QString &v) {
    if (s.contains(chiave)) v = s.value(chiave).toString().trimmed();
  };
  auto numero = [&](const QString &chiave, int &v) {
    bool ok = false;
    const int n = s.value(chiave).toInt(&ok);
    if (ok && n > 0) v = n;
  };
  testo(u"host"_s, c.host);
  testo(u"indirizzo"_s, c.indirizzo);
  numero(u"porta"_s, c.porta);
  testo(u"database"_s, c.database);
  testo(u"utente"_s, c.utente);
  if (s.contains(u"password"_s)) c.password = s.value(u"password"_s).toString();
  testo(u"sslmode"_s, c.sslmode);
  testo(u"sslrootcert"_s, c.sslrootcert);
  testo(u"computer"_s, c.computer);
  numero(u"connect_timeout"_s, c.connectTimeout);
  numero(u"tcp_user_timeout"_s, c.tcpUserTimeout);
  s.endGroup();
}

// A value for libpq's connection string: quoted, so a path with blanks holds.
// QPSQL turns every ';' into a blank before libpq reads it, so none may remain.
QString ValoreLibpq(QString v) {
  v.replace(u'\\', u"\\\\"_s).replace(u'\'', u"\\'"_s).replace(u';', u'_');
  return u'\'' + v + u'\'';
}

}  // namespace

QString ConfigServer::nomeComputer() const {
  return computer.isEmpty() ? QSysInfo::machineHostName() : computer;
}

QString ConfigServer::FileUtente() {
  return QDir(QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation))
      .filePath(u"vornel/server.conf"_s);
}

QString ConfigServer::FileSistema() {
  const QByteArray dirs = qgetenv("XDG_CONFIG_DIRS");
  const QString prima = dirs.isEmpty() ? u"/etc/xdg"_s : QString::fromLocal8Bit(dirs).section(u':', 0, 0);
  return QDir(prima).filePath(u"vornel/server.conf"_s);
}

ConfigServer ConfigServer::LeggiFile(const QString &file) {
  ConfigServer c;
  if (!QFileInfo::exists(file)) return c;
  QSettings s(file, QSettings::IniFormat);
  LeggiGruppo(s, c);
  return c;
}

ConfigServer ConfigServer::Leggi() {
  ConfigServer c = LeggiFile(FileSistema());
  if (QFileInfo::exists(FileUtente())) {
    const ConfigServer u = LeggiFile(FileUtente());
    if (u.attivo()) c = u;
  }
  return c;
}

bool ConfigServer::scriviFile(const QString &file) const {
  QDir().mkpath(QFileInfo(file).absolutePath());
  QSettings s(file, QSettings::IniFormat);
  s.beginGroup(u"server"_s);
  s.setValue(u"host"_s, host);
  if (!indirizzo.isEmpty())
    s.setValue(u"indirizzo"_s, indirizzo);
  else
    s.remove(u"indirizzo"_s);
  s.setValue(u"porta"_s, porta);
  s.setValue(u"database"_s, database);
  s.setValue(u"utente"_s, utente);
  s.setValue(u"password"_s, password);
  s.setValue(u"sslmode"_s, sslmode);
  s.setValue(u"sslrootcert"_s, sslrootcert);
  s.setValue(u"computer"_s, computer);
  s.setValue(u"connect_timeout"_s, connectTimeout);
  s.setValue(u"tcp_user_timeout"_s, tcpUserTimeout);
  s.endGroup();
  s.sync();
  return s.status() == QSettings::NoError &&
         QFile::setPermissions(file, QFileDevice::ReadOwner | QFileDevice::WriteOwner);
}

QString ConfigServer::opzioniConnessione() const {
  // QPSQL passes these to libpq as they are; a value must not hold the
  // separator, so the computer's name loses its blanks and semicolons.
  QString nome = nomeComputer();
  nome.replace(QRegularExpression(u"[\\s;='\\\\]"_s), u"_"_s);
  // Always encrypted: a mode that lets libpq go without TLS (disable, allow,
  // prefer), or any other word, is taken as require.
  static const QStringList kCifrati{u"require"_s, u"verify-ca"_s, u"verify-full"_s};
  const QString modo = kCifrati.contains(sslmode) ? sslmode : u"require"_s;
  QStringList o{u"sslmode=%1"_s.arg(modo),
                u"connect_timeout=%1"_s.arg(connectTimeout),
                u"keepalives=1"_s,
                u"keepalives_idle=10"_s,
                u"keepalives_interval=3"_s,
                u"keepalives_count=3"_s,
                u"tcp_user_timeout=%1"_s.arg(tcpUserTimeout),
                u"application_name=vornel-%1"_s.arg(nome.left(50))};
  // The authority's file only where the certificate is to be checked: libpq
  // would check the chain under require too, once a file is named.
  if (!sslrootcert.isEmpty() && modo.startsWith(u"verify"_s))
    o << u"sslrootcert="_s + ValoreLibpq(sslrootcert);
  if (!indirizzo.trimmed().isEmpty()) o << u"hostaddr="_s + ValoreLibpq(indirizzo.trimmed());
  return o.join(u';');
}

QSqlDatabase ConfigServer::connessione(const QString &nome, const QString &u, const QString &p) const {
  QSqlDatabase db = QSqlDatabase::addDatabase(u"QPSQL"_s, nome);
  db.setHostName(host);
  db.setPort(porta);
  db.setDatabaseName(database);
  db.setUserName(u.isEmpty() ? utente : u);
  db.setPassword(u.isEmpty() ? password : p);
  db.setConnectOptions(opzioniConnessione());
  return db;
}
