#include "ui/registro/frmserver.h"

#include <QComboBox>
#include <QCoreApplication>
#include <QFileDialog>
#include <QFileInfo>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>
#include <QSpinBox>
#include <QSysInfo>
#include <QThreadPool>
#include <QVBoxLayout>

#include "ui/common/aspetto.h"

using namespace Qt::StringLiterals;

namespace {

QLineEdit *Casella(const QString &nome, const QString &accessibile, QWidget *genitore) {
  auto *t = new QLineEdit(genitore);
  t->setObjectName(nome);
  t->setAccessibleName(accessibile);
  t->setMinimumWidth(aspetto::px(4500));
  return t;
}

QPushButton *Pulsante(const QString &nome, const QString &testo, QWidget *genitore) {
  auto *b = new QPushButton(testo, genitore);
  b->setObjectName(nome);
  b->setAccessibleName(QString(testo).remove(u'&').remove(u'…'));
  b->setAutoDefault(false);
  return b;
}

}  // namespace

FrmServer::FrmServer(QWidget *genitore) : QDialog(genitore) {
  setObjectName(u"FrmServer"_s);
  setWindowTitle(u"Server della scuola"_s);
  aspetto::colora(this, aspetto::kSfondo);
  setFont(aspetto::carattere(u"Arial"_s, 11));

  m_lblSistema = new QLabel(this);
  m_lblSistema->setObjectName(u"lblSistema"_s);
  m_lblSistema->setWordWrap(true);

  m_txtHost = Casella(u"txtHost"_s, u"Indirizzo del server"_s, this);
  m_txtHost->setPlaceholderText(u"registro.scuola.lan o 192.168.10.5"_s);
  m_spnPorta = new QSpinBox(this);
  m_spnPorta->setObjectName(u"spnPorta"_s);
  m_spnPorta->setAccessibleName(u"Porta"_s);
  m_spnPorta->setRange(1, 65535);
  m_txtDatabase = Casella(u"txtDatabase"_s, u"Database"_s, this);
  m_txtUtente = Casella(u"txtUtente"_s, u"Utente dei computer"_s, this);
  m_txtPassword = Casella(u"txtPassword"_s, u"Password dei computer"_s, this);
  m_txtPassword->setEchoMode(QLineEdit::Password);
  m_txtPassword->setAttribute(Qt::WA_InputMethodEnabled, false);
  m_cmbSsl = new QComboBox(this);
  m_cmbSsl->setObjectName(u"cmbSsl"_s);
  m_cmbSsl->setAccessibleName(u"Cifratura"_s);
  m_cmbSsl->addItem(u"Cifrata, certificato della scuola verificato (verify-full)"_s, u"verify-full"_s);
  m_cmbSsl->addItem(u"Cifrata, certificato non verificato (require)"_s, u"require"_s);
  m_txtCertificato = Casella(u"txtCertificato"_s, u"Certificato della scuola"_s, this);
  m_txtCertificato->setPlaceholderText(u"/etc/xdg/vornel/scuola-ca.crt"_s);
  m_cmdSfoglia = Pulsante(u"cmdSfoglia"_s, u"S&foglia…"_s, this);
  m_txtComputer = Casella(u"txtComputer"_s, u"Nome di questo computer"_s, this);
  m_txtComputer->setPlaceholderText(QSysInfo::machineHostName());

  auto *certificato = new QHBoxLayout;
  certificato->addWidget(m_txtCertificato, 1);
  certificato->addWidget(m_cmdSfoglia);
  auto *modulo = new QFormLayout;
  modulo->addRow(u"&Indirizzo del server:"_s, m_txtHost);
  modulo->addRow(u"P&orta:"_s, m_spnPorta);
  modulo->addRow(u"&Database:"_s, m_txtDatabase);
  modulo->addRow(u"&Utente dei computer:"_s, m_txtUtente);
  modulo->addRow(u"Pass&word:"_s, m_txtPassword);
  modulo->addRow(u"&Cifratura:"_s, m_cmbSsl);
  modulo->addRow(u"C&ertificato della scuola:"_s, certificato);
  modulo->addRow(u"&Nome di questo computer:"_s, m_txtComputer);

  m_lblEsito = new QLabel(this);
  m_lblEsito->setObjectName(u"lblEsito"_s);
  m_lblEsito->setAccessibleName(u"Esito"_s);
  m_lblEsito->setWordWrap(true);
  m_lblEsito->setTextInteractionFlags(Qt::TextSelectableByMouse);
  m_lblEsito->setMinimumHeight(aspetto::px(900));

  m_cmdProva = Pulsante(u"cmdProva"_s, u"&Prova"_s, this);
  m_cmdProva->setToolTip(u"Si collega al server con queste impostazioni e dice che cosa non va."_s);
  m_cmdSalva = Pulsante(u"cmdSalva"_s, u"&Salva"_s, this);
  m_cmdSalva->setToolTip(u"Conserva queste impostazioni per questo utente di questo computer."_s);
  auto *chiudi = Pulsante(u"cmdChiudi"_s, u"C&hiudi"_s, this);
  aspetto::colora(chiudi, aspetto::kFuoco);
  auto *pulsanti = new QHBoxLayout;
  pulsanti->addWidget(m_cmdProva);
  pulsanti->addStretch();
  pulsanti->addWidget(m_cmdSalva);
  pulsanti->addWidget(chiudi);

  auto *colonna = new QVBoxLayout(this);
  colonna->addWidget(m_lblSistema);
  colonna->addLayout(modulo);
  colonna->addWidget(m_lblEsito);
  colonna->addLayout(pulsanti);

  connect(m_cmdProva, &QPushButton::clicked, this, &FrmServer::prova);
  connect(m_cmdSalva, &QPushButton::clicked, this, &FrmServer::salva);
  connect(chiudi, &QPushButton::clicked, this, &QDialog::close);
  connect(m_cmdSfoglia, &QPushButton::clicked, this, &FrmServer::sfoglia);
  connect(m_cmbSsl, &QComboBox::currentIndexChanged, this, &FrmServer::aggiornaCertificato);

  // The technician's file, then the user's over it.
  const ConfigServer sistema = ConfigServer::LeggiFile(ConfigServer::FileSistema());
  const ConfigServer utente = ConfigServer::LeggiFile(ConfigServer::FileUtente());
  m_caricata = ConfigServer::Leggi();
  QString sopra;
  if (sistema.attivo())
    sopra = utente.attivo()
                ? u"Il tecnico ha impostato il server %1 in %2; qui valgono le impostazioni salvate "
                  u"da questo utente."_s.arg(sistema.host, ConfigServer::FileSistema())
                : u"Impostazioni del tecnico, da %1. «Salva» le conserva per questo utente."_s.arg(
                      ConfigServer::FileSistema());
  else
    sopra =
        u"Scrivere l'indirizzo del server della scuola e i dati che il tecnico ha stampato con "
        u"vornel-scuola prepara. Senza indirizzo, il registro resta solo su questo computer."_s;
  m_lblSistema->setText(sopra);
  m_lblSistema->setAccessibleName(sopra);
  mostra(m_caricata);
  m_txtHost->setFocus();
  // Whoever opens the settings wants to know first whether they work.
  if (m_caricata.attivo()) prova();
}

void FrmServer::mostra(const ConfigServer &c) {
  m_txtHost->setText(c.host);
  m_spnPorta->setValue(c.porta);
  m_txtDatabase->setText(c.database);
  m_txtUtente->setText(c.utente);
  m_txtPassword->setText(c.password);
  const int i = m_cmbSsl->findData(c.sslmode);
  // verify-ca, or anything else hand-written, is shown as the nearest choice.
  m_cmbSsl->setCurrentIndex(i >= 0 ? i : (c.sslmode == u"verify-ca"_s ? 0 : 1));
  m_txtCertificato->setText(c.sslrootcert);
  m_txtComputer->setText(c.computer);
  aggiornaCertificato();
}

ConfigServer FrmServer::impostazioni() const {
  ConfigServer c = m_caricata;
  c.host = m_txtHost->text().trimmed();
  c.porta = m_spnPorta->value();
  c.database = m_txtDatabase->text().trimmed();
  c.utente = m_txtUtente->text().trimmed();
  c.password = m_txtPassword->text();
  c.sslmode = m_cmbSsl->currentData().toString();
  c.sslrootcert = m_txtCertificato->text().trimmed();
  c.computer = m_txtComputer->text().trimmed();
  return c;
}

void FrmServer::aggiornaCertificato() {
  const bool verifica = m_cmbSsl->currentData().toString() == u"verify-full"_s;
  m_txtCertificato->setEnabled(verifica);
  m_cmdSfoglia->setEnabled(verifica);
}

void FrmServer::avviso(const QString &testo, bool buono) {
  m_lblEsito->setText(testo);
  m_lblEsito->setAccessibleDescription(testo);
  aspetto::coloraTesto(m_lblEsito, buono ? QColor(0, 112, 0) : aspetto::kRosso);
}

void FrmServer::prova() {
  const ConfigServer c = impostazioni();
  const quint64 numero = ++m_numero;
  ++m_inProva;
  m_cmdProva->setEnabled(false);
  avviso(u"Prova in corso: collegamento a %1, porta %2…"_s.arg(c.host).arg(c.porta), true);
  // The check may wait for the connection's whole timeout: never on the
  // window's thread. The window may be gone when it answers. Qt's own pool
  // runs it, which the application waits for as it ends, so no check is cut
  // off halfway through the database driver's exit.
  QPointer<FrmServer> io(this);
  QThreadPool::globalInstance()->start([c, numero, io] {
    const ProvaServer::Risultato r = ProvaServer::Prova(c);
    // None once the application is ending: nobody is left to tell.
    if (QCoreApplication *app = QCoreApplication::instance())
      QMetaObject::invokeMethod(
          app,
          [io, numero, r] {
            if (io) io->provataCon(numero, r);
          },
          Qt::QueuedConnection);
  });
}

void FrmServer::provataCon(quint64 numero, const ProvaServer::Risultato &r) {
  --m_inProva;
  if (m_inProva == 0) m_cmdProva->setEnabled(true);
  if (numero != m_numero) return;  // settings changed and checked again since
  // The driver's own words, for the technician, behind the message.
  m_lblEsito->setToolTip(r.esito == ProvaServer::Esito::Ok ? QString() : r.dettaglio);
  avviso(r.messaggio, r.esito == ProvaServer::Esito::Ok);
  Q_EMIT provata(r.esito);
}

void FrmServer::salva() {
  const ConfigServer c = impostazioni();
  if (c.attivo() && c.sslmode == u"verify-full"_s && c.sslrootcert.isEmpty()) {
    avviso(
        u"Per la verifica del certificato indicare il file del certificato della scuola, oppure scegliere "
        u"la cifratura senza verifica."_s,
        false);
    m_txtCertificato->setFocus();
    return;
  }
  const QString file = ConfigServer::FileUtente();
  if (!c.scriviFile(file)) {
    avviso(u"Le impostazioni non sono state salvate: %1 non si può scrivere."_s.arg(file), false);
    return;
  }
  m_caricata = c;
  // Without an address the technician's file, if any, holds again.
  const bool tecnico = ConfigServer::LeggiFile(ConfigServer::FileSistema()).attivo();
  avviso(c.attivo() ? u"Impostazioni salvate in %1."_s.arg(file)
         : tecnico ? u"Impostazioni salvate senza indirizzo: valgono di nuovo quelle del tecnico (%1)."_s.arg(
                         ConfigServer::FileSistema())
                   : u"Impostazioni salvate senza indirizzo: il registro resta su questo computer."_s,
         true);
  Q_EMIT salvata();
}

void FrmServer::sfoglia() {
  // Without a loop of its own: the door may close this window while it is open.
  auto *d = new QFileDialog(
      this, u"Certificato della scuola"_s,
      m_txtCertificato->text().isEmpty() ? u"/etc/xdg/vornel"_s : QFileInfo(m_txtCertificato->text()).path(),
      u"Certificati (*.crt *.pem);;Tutti i file (*)"_s);
  d->setAttribute(Qt::WA_DeleteOnClose);
  d->setFileMode(QFileDialog::ExistingFile);
  connect(d, &QFileDialog::fileSelected, this, [this](const QString &scelto) {
    m_txtCertificato->setText(scelto);
    m_txtCertificato->setFocus();
  });
  d->open();
}
