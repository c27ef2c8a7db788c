#include "ui/registro/frmporta.h"

#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLayout>
#include <QLineEdit>
#include <QPushButton>
#include <QRegularExpressionValidator>
#include <QVBoxLayout>

#include "registro/portadocente.h"
#include "ui/common/aspetto.h"
#include "ui/registro/nomina.h"

using namespace Qt::StringLiterals;

QLineEdit *CasellaPin(const QString &nome, const QString &accessibile, QWidget *genitore) {
  auto *t = new QLineEdit(genitore);
  t->setObjectName(nome);
  t->setAccessibleName(accessibile);
  t->setEchoMode(QLineEdit::Password);
  t->setMaxLength(12);
  t->setValidator(new QRegularExpressionValidator(QRegularExpression(u"[0-9]{0,12}"_s), t));
  t->setFont(aspetto::carattere(u"Arial"_s, 14, true));
  // No input method, no completion, no undo history holding the PIN.
  t->setAttribute(Qt::WA_InputMethodEnabled, false);
  return t;
}

FrmPorta::FrmPorta(PortaDocente &porta, QWidget *genitore, const QString &titolo)
    : QDialog(genitore), m_porta(porta) {
  setObjectName(u"FrmPorta"_s);
  setWindowTitle(titolo.isEmpty() ? u"Registro dell'insegnante"_s : titolo);
  aspetto::colora(this, aspetto::kSfondo);
  setFont(aspetto::carattere(u"Arial"_s, 11, true));
  m_nuovo = !m_porta.haPin();

  m_lblSpiegazione = new QLabel(this);
  m_lblSpiegazione->setObjectName(u"lblSpiegazione"_s);
  m_lblSpiegazione->setWordWrap(true);
  m_lblSpiegazione->setText(
      m_nuovo ? u"Prima apertura del registro: scegli un PIN di almeno %1 cifre e scrivilo due volte. "
                u"Servirà per il registro, le classi, gli alunni e le opzioni."_s.arg(PortaDocente::kLunghezzaMinima)
              : u"Scrivi il PIN dell'insegnante."_s);
  m_lblSpiegazione->setAccessibleName(m_lblSpiegazione->text());
  m_lblSpiegazione->setMinimumWidth(420);

  m_txtPin = CasellaPin(u"txtPin"_s, m_nuovo ? u"Nuovo PIN"_s : u"PIN"_s, this);
  auto *modulo = new QFormLayout;
  modulo->addRow(m_nuovo ? u"Nuovo PIN:"_s : u"PIN:"_s, m_txtPin);
  if (m_nuovo) {
    m_txtConferma = CasellaPin(u"txtConferma"_s, u"Ripeti il PIN"_s, this);
    modulo->addRow(u"Ripeti il PIN:"_s, m_txtConferma);
  }

  m_lblMessaggio = new QLabel(this);
  m_lblMessaggio->setObjectName(u"lblMessaggio"_s);
  m_lblMessaggio->setAccessibleName(u"Messaggio"_s);
  m_lblMessaggio->setWordWrap(true);
  aspetto::coloraTesto(m_lblMessaggio, aspetto::kRosso);
  m_lblAttesa = new QLabel(this);
  m_lblAttesa->setObjectName(u"lblAttesa"_s);
  m_lblAttesa->setAccessibleName(u"Attesa"_s);
  aspetto::coloraTesto(m_lblAttesa, aspetto::kRosso);

  m_cmdEntra = new QPushButton(m_nuovo ? u"Scegli il PIN"_s : u"Entra"_s, this);
  m_cmdEntra->setObjectName(u"cmdEntra"_s);
  m_cmdEntra->setAccessibleName(m_cmdEntra->text());
  m_cmdEntra->setDefault(true);
  auto *cmdAnnulla = new QPushButton(u"Annulla"_s, this);
  cmdAnnulla->setObjectName(u"cmdAnnulla"_s);
  cmdAnnulla->setAccessibleName(u"Annulla"_s);

  auto *pulsanti = new QHBoxLayout;
  pulsanti->addStretch();
  pulsanti->addWidget(m_cmdEntra);
  pulsanti->addWidget(cmdAnnulla);
  auto *l = new QVBoxLayout(this);
  l->addWidget(m_lblSpiegazione);
  l->addLayout(modulo);
  l->addWidget(m_lblMessaggio);
  l->addWidget(m_lblAttesa);
  l->addLayout(pulsanti);

  connect(m_cmdEntra, &QPushButton::clicked, this, &FrmPorta::entra);
  connect(cmdAnnulla, &QPushButton::clicked, this, &QDialog::reject);
  m_orologio.setInterval(1000);
  connect(&m_orologio, &QTimer::timeout, this, &FrmPorta::aggiorna);
  aggiorna();
  m_txtPin->setFocus();
}

void FrmPorta::avviso(const QString &testo) {
  m_lblMessaggio->setText(testo);
  m_lblMessaggio->setAccessibleDescription(testo);
}

void FrmPorta::aggiorna() {
  const qint64 attesa = m_nuovo ? 0 : m_porta.attesa();
  const bool aperta = attesa <= 0;
  m_txtPin->setEnabled(aperta);
  m_cmdEntra->setEnabled(aperta);
  if (aperta) {
    m_lblAttesa->clear();
    m_orologio.stop();
    return;
  }
  m_lblAttesa->setText(attesa == 1 ? u"Troppi PIN sbagliati: riprova fra 1 secondo."_s
                                   : u"Troppi PIN sbagliati: riprova fra %1 secondi."_s.arg(attesa));
  if (!m_orologio.isActive()) m_orologio.start();
}

void FrmPorta::entra() {
  const QString pin = m_txtPin->text();
  m_txtPin->clear();
  if (m_nuovo) {
    const QString conferma = m_txtConferma->text();
    m_txtConferma->clear();
    if (pin != conferma) {
      avviso(u"I due PIN non sono uguali: scrivili di nuovo."_s);
      m_txtPin->setFocus();
      return;
    }
    const Esito e = m_porta.scegliPin(pin);
    if (!e) {
      avviso(e.messaggio);
      m_txtPin->setFocus();
      return;
    }
    accept();
    return;
  }
  const PortaDocente::Prova p = m_porta.prova(pin);
  if (p.risultato == PortaDocente::Risultato::Aperta) {
    accept();
    return;
  }
  avviso(p.risultato == PortaDocente::Risultato::Attendi ? u"PIN sbagliato."_s : p.messaggio);
  aggiorna();
  if (m_txtPin->isEnabled()) m_txtPin->setFocus();
}

// --- the door of the school's server -------------------------------------------

FrmPortaServer::FrmPortaServer(const ConfigServer &config, QWidget *genitore, const QString &titolo)
    : QDialog(genitore), m_config(config) {
  setObjectName(u"FrmPortaServer"_s);
  setWindowTitle(titolo.isEmpty() ? u"Registro dell'insegnante"_s : titolo);
  aspetto::colora(this, aspetto::kSfondo);
  setFont(aspetto::carattere(u"Arial"_s, 11, true));

  const QString spiegazione =
      u"Il registro è sul server della scuola (%1). Scrivi il tuo nome utente e la tua password del server."_s
          .arg(m_config.host);
  m_lblSpiegazione = Nomina(new QLabel(spiegazione, this), u"lblSpiegazione"_s, spiegazione);
  m_lblSpiegazione->setWordWrap(true);
  m_lblSpiegazione->setMinimumWidth(460);

  m_txtUtente = Nomina(new QLineEdit(this), u"txtUtente"_s, u"Nome utente"_s);
  m_txtUtente->setMaxLength(63);  // PostgreSQL's longest name
  m_txtPassword = Nomina(new QLineEdit(this), u"txtPassword"_s, u"Password"_s);
  m_txtPassword->setEchoMode(QLineEdit::Password);
  m_txtPassword->setAttribute(Qt::WA_InputMethodEnabled, false);
  auto *modulo = new QFormLayout;
  modulo->addRow(u"Nome utente:"_s, m_txtUtente);
  modulo->addRow(u"Password:"_s, m_txtPassword);

  m_lblMessaggio = Nomina(new QLabel(this), u"lblMessaggio"_s, u"Messaggio"_s);
  m_lblMessaggio->setWordWrap(true);
  aspetto::coloraTesto(m_lblMessaggio, aspetto::kRosso);
  m_lblCollegamento = Nomina(new QLabel(this), u"lblCollegamento"_s, u"Collegamento"_s);

  m_cmdEntra = Nomina(new QPushButton(u"Entra"_s, this), u"cmdEntra"_s, u"Entra"_s);
  m_cmdEntra->setDefault(true);
  const QString locale = u"Apri il registro di questo computer"_s;
  m_cmdLocale = Nomina(new QPushButton(locale, this), u"cmdLocale"_s, locale);
  m_cmdLocale->setVisible(false);
  auto *cmdAnnulla = Nomina(new QPushButton(u"Annulla"_s, this), u"cmdAnnulla"_s, u"Annulla"_s);

  auto *pulsanti = new QHBoxLayout;
  pulsanti->addWidget(m_cmdLocale);
  pulsanti->addStretch();
  pulsanti->addWidget(m_cmdEntra);
  pulsanti->addWidget(cmdAnnulla);
  auto *l = new QVBoxLayout(this);
  l->addWidget(m_lblSpiegazione);
  l->addLayout(modulo);
  l->addWidget(m_lblMessaggio);
  l->addWidget(m_lblCollegamento);
  l->addLayout(pulsanti);

  connect(m_cmdEntra, &QPushButton::clicked, this, &FrmPortaServer::entra);
  connect(cmdAnnulla, &QPushButton::clicked, this, &FrmPortaServer::reject);
  connect(m_cmdLocale, &QPushButton::clicked, this, [this] {
    m_locale = true;
    accept();
  });
  m_txtUtente->setFocus();
}

FrmPortaServer::~FrmPortaServer() {
  // A sign-in still running is abandoned; a connection made afterwards is closed.
  delete m_accesso;
}

void FrmPortaServer::avviso(const QString &testo) {
  m_lblMessaggio->setText(testo);
  m_lblMessaggio->setAccessibleDescription(testo);
}

void FrmPortaServer::adatta() {
  QLayout *l = layout();
  l->activate();
  const int serve = l->hasHeightForWidth() ? l->totalHeightForWidth(width()) : l->totalSizeHint().height();
  if (serve > height()) resize(width(), serve);
}

void FrmPortaServer::abilita(bool si) {
  m_txtUtente->setEnabled(si);
  m_txtPassword->setEnabled(si);
  m_cmdEntra->setEnabled(si);
}

void FrmPortaServer::entra() {
  if (m_accesso) return;
  const QString utente = m_txtUtente->text().trimmed();
  if (utente.isEmpty()) {
    avviso(u"Scrivi il nome utente."_s);
    adatta();
    m_txtUtente->setFocus();
    return;
  }
  QString password = m_txtPassword->text();
  m_txtPassword->clear();
  avviso({});
  m_cmdLocale->setVisible(false);
  abilita(false);
  m_lblCollegamento->setText(u"Collegamento al server della scuola… (Esc per annullare)"_s);
  m_lblCollegamento->setAccessibleDescription(m_lblCollegamento->text());
  adatta();
  m_accesso = new AccessoDocente(m_config, utente, std::move(password));
  connect(m_accesso, &AccessoDocente::finito, this, &FrmPortaServer::finito);
}

void FrmPortaServer::finito(const EsitoAccesso &esito) {
  m_accesso->deleteLater();
  m_accesso = nullptr;
  m_lblCollegamento->clear();
  abilita(true);
  if (esito.tipo == EsitoAccesso::Tipo::Entrato) {
    m_connessione = esito.connessione;
    m_connessioneVista = esito.connessioneVista;
    accept();
    return;
  }
  if (!esito.dettaglio.isEmpty()) qWarning("registro: server: %s", qPrintable(esito.dettaglio));
  avviso(esito.messaggio);
  m_cmdLocale->setVisible(esito.tipo == EsitoAccesso::Tipo::Irraggiungibile);
  adatta();
  if (esito.tipo == EsitoAccesso::Tipo::Irraggiungibile) {
    m_cmdLocale->setFocus();
  } else {
    m_txtPassword->setFocus();
  }
}

void FrmPortaServer::reject() {
  // Esc while connecting gives up the connection, and the door with it.
  delete m_accesso;
  m_accesso = nullptr;
  QDialog::reject();
}
