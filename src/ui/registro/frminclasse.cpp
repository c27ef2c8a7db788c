#include "ui/registro/frminclasse.h"

#include <QComboBox>
#include <QDateTime>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeySequence>
#include <QLabel>
#include <QPushButton>
#include <QShortcut>
#include <QSqlDriver>
#include <QTableWidget>
#include <QVBoxLayout>

#include "platform/messaggi.h"
#include "platform/orologio.h"
#include "registro/schemaserver.h"
#include "ui/common/aspetto.h"
#include "ui/common/contesto.h"
#include "ui/registro/nomina.h"
#include "ui/registro/testiregistro.h"

using namespace Qt::StringLiterals;

namespace {

const QColor kBloccato{255, 176, 176};

QString TestoFermo(qint64 secondi) {
  return secondi < 120 ? u"%1 s"_s.arg(secondi) : u"%1 min"_s.arg(secondi / 60);
}

// Why the pupil is highlighted, in words (the screen reader says the cell).
QString TestoStato(const AlunnoAlLavoro &a) {
  if (a.intervento) return u"BLOCCATO: il programma ha dato il risultato"_s;
  if (a.secondiFermo >= kSecondiFermo) return u"BLOCCATO: fermo da %1"_s.arg(TestoFermo(a.secondiFermo));
  return u"al lavoro"_s;
}

QString TitoloMessaggio() {
  return u"VORNEL"_s;
}

}  // namespace

FrmInClasse::FrmInClasse(Registro &registro, Contesto &ctx, qint64 classe, QWidget *genitore,
                         LettoreInClasse *lettore)
    : QWidget(genitore, Qt::Window), m_registro(registro), m_ctx(ctx), m_lettore(lettore) {
  setObjectName(u"FrmInClasse"_s);
  setWindowTitle(u"In classe ora"_s);
  setAttribute(Qt::WA_DeleteOnClose);
  aspetto::colora(this, aspetto::kSfondo);
  resize(900, 520);

  auto *lblClasse = Nomina(new QLabel(u"&Classe:"_s, this), u"lblClasse"_s, u"Classe"_s);
  m_cmbClasse = Nomina(new QComboBox(this), u"cmbClasse"_s, u"Classe"_s);
  m_cmbClasse->setMinimumWidth(200);
  lblClasse->setBuddy(m_cmbClasse);
  for (const Classe &c : m_registro.classi()) m_cmbClasse->addItem(c.nome, c.id);
  auto *cmdStampa = Nomina(new QPushButton(u"&Stampa"_s, this), u"cmdStampa"_s, u"Stampa"_s);
  auto *cmdChiudi = Nomina(new QPushButton(u"Chiudi"_s, this), u"cmdChiudi"_s, u"Chiudi"_s);
  auto *testa = new QHBoxLayout;
  testa->addWidget(lblClasse);
  testa->addWidget(m_cmbClasse);
  testa->addStretch();
  testa->addWidget(cmdStampa);
  testa->addWidget(cmdChiudi);

  m_tbl = Nomina(new QTableWidget(this), u"tblInClasse"_s, u"Alunni al lavoro"_s);
  m_tbl->setEditTriggers(QAbstractItemView::NoEditTriggers);
  m_tbl->setSelectionBehavior(QAbstractItemView::SelectRows);
  m_tbl->setSelectionMode(QAbstractItemView::SingleSelection);
  m_tbl->verticalHeader()->setVisible(false);
  m_tbl->setColumnCount(8);
  m_tbl->setHorizontalHeaderLabels({u"Alunno"_s, u"Computer"_s, u"Famiglia"_s, u"Operazione"_s, u"Esatte"_s,
                                    u"Sbagliate"_s, u"Ultimo errore"_s, u"Stato"_s});
  m_tbl->horizontalHeader()->setStretchLastSection(true);
  m_lblStato = Nomina(new QLabel(this), u"lblStato"_s, u"Stato della vista"_s);
  m_lblStato->setWordWrap(true);
  auto *nota = Nomina(
      new QLabel(u"In rosso chi è bloccato: il programma ha dovuto dare il risultato, oppure "
                 u"nessuna operazione da %1 secondi (secondo l'orologio del server)."_s.arg(kSecondiFermo),
                 this),
      u"lblNota"_s, u"Legenda"_s);
  nota->setWordWrap(true);

  auto *l = new QVBoxLayout(this);
  l->addLayout(testa);
  l->addWidget(m_tbl, 1);
  l->addWidget(nota);
  l->addWidget(m_lblStato);

  connect(cmdStampa, &QPushButton::clicked, this, &FrmInClasse::stampa);
  connect(cmdChiudi, &QPushButton::clicked, this, &QWidget::close);
  auto *esc = new QShortcut(QKeySequence(Qt::Key_Escape), this);
  connect(esc, &QShortcut::activated, this, &QWidget::close);
  connect(m_cmbClasse, &QComboBox::currentIndexChanged, this,
          [this] { mostraClasse(m_cmbClasse->currentData().toLongLong()); });

  // A burst of announcements (twenty computers closing operations at once) is
  // read once, a moment after the first.
  m_raccolta.setSingleShot(true);
  m_raccolta.setInterval(kRaccolta);
  connect(&m_raccolta, &QTimer::timeout, this, &FrmInClasse::aggiorna);
  m_giro.setInterval(kGiro);
  connect(&m_giro, &QTimer::timeout, this, &FrmInClasse::aggiorna);

  if (m_lettore) {
    connect(m_lettore, &LettoreInClasse::avviso, this,
            [this](const QString &testo) { avviso(QString::fromLatin1(SchemaServer::kCanale), testo); });
    connect(m_lettore, &LettoreInClasse::letta, this,
            [this](qint64 letta, const std::optional<QList<AlunnoAlLavoro>> &righe, const QString &messaggio,
                   bool scollegato) {
              m_inLettura = false;
              // A class chosen meanwhile is read next: this answer is another's.
              if (letta == m_classe) mostraRighe(righe, messaggio, scollegato);
              if (std::exchange(m_ancora, false) || letta != m_classe) aggiorna();
            });
  } else if (m_registro.suServer() && m_registro.pronto()) {
    QSqlDriver *driver = m_registro.db().driver();
    const QString canale = QString::fromLatin1(SchemaServer::kCanale);
    // The register window may listen already on the same connection.
    m_ascolto =
        !driver->subscribedToNotifications().contains(canale) && driver->subscribeToNotification(canale);
    connect(driver, &QSqlDriver::notification, this,
            [this](const QString &nome, QSqlDriver::NotificationSource, const QVariant &testo) {
              avviso(nome, testo);
            });
    if (!driver->subscribedToNotifications().contains(canale))
      m_lblStato->setText(
          u"Non riesco ad ascoltare il server: la vista si aggiorna ogni %1 secondi."_s.arg(kGiro / 1000));
  }
  m_giro.start();
  if (const int i = m_cmbClasse->findData(classe); i >= 0) m_cmbClasse->setCurrentIndex(i);
  mostraClasse(m_cmbClasse->currentData().toLongLong());
}

FrmInClasse::~FrmInClasse() {
  if (m_ascolto && m_registro.db().isOpen())
    m_registro.db().driver()->unsubscribeFromNotification(QString::fromLatin1(SchemaServer::kCanale));
}

void FrmInClasse::avviso(const QString &nome, const QVariant &testo) {
  if (nome != QLatin1String(SchemaServer::kCanale)) return;
  const qint64 classe = ClasseDellAvviso(testo.toString());
  // An announcement that names no class may still be ours: read.
  if (classe >= 0 && classe != m_classe) return;
  if (!m_raccolta.isActive()) m_raccolta.start();
}

void FrmInClasse::mostraClasse(qint64 classe) {
  {
    const QSignalBlocker b(m_cmbClasse);
    if (const int i = m_cmbClasse->findData(classe); i >= 0) m_cmbClasse->setCurrentIndex(i);
  }
  m_classe = classe;
  aggiorna();
}

void FrmInClasse::aggiorna() {
  m_raccolta.stop();
  if (m_lettore) {
    // One read at a time on the reader's thread; what is asked meanwhile is
    // read once after it.
    if (m_inLettura) {
      m_ancora = true;
      return;
    }
    m_inLettura = true;
    m_lettore->leggi(m_classe);
    return;
  }
  const auto righe = LeggiInClasse(m_registro, m_classe);
  const QString messaggio = m_registro.prendiMessaggio().value_or(QString());
  mostraRighe(righe, messaggio, !righe && m_registro.guasto() == Guasto::Scollegato);
}

void FrmInClasse::mostraRighe(const std::optional<QList<AlunnoAlLavoro>> &righe, const QString &messaggio,
                              bool scollegato) {
  if (!messaggio.isEmpty()) m_ctx.messaggi.mostra(messaggio, TitoloMessaggio(), Messaggi::Icona::Avviso);
  // A server gone is not read again every few seconds (a busy one is: it
  // comes back by itself).
  if (scollegato) m_giro.stop();
  if (!righe) {
    m_lblStato->setText(u"Il server della scuola non risponde: la vista è ferma."_s);
    return;
  }
  m_righe = *righe;
  // Rewritten in place, the selection kept on the same pupil's row.
  const int scelta = m_tbl->currentRow();
  const qint64 esercizioScelto =
      scelta >= 0 && m_tbl->item(scelta, 0) ? m_tbl->item(scelta, 0)->data(Qt::UserRole).toLongLong() : -1;
  m_tbl->setRowCount(static_cast<int>(m_righe.size()));
  for (int r = 0; r < static_cast<int>(m_righe.size()); ++r) {
    const AlunnoAlLavoro &a = m_righe.at(r);
    const QStringList celle{a.nome,
                            a.computer,
                            QString::number(a.famiglia),
                            u"%1 di %2"_s.arg(a.operazione).arg(RegistrazioneEsercizio::kOperazioni),
                            QString::number(a.esatte),
                            QString::number(a.sbagliate),
                            a.ultimoErrore.isEmpty() ? QString() : NomeSbaglio(a.ultimoErrore),
                            TestoStato(a)};
    for (int c = 0; c < celle.size(); ++c) {
      QTableWidgetItem *cella = m_tbl->item(r, c);
      if (!cella) m_tbl->setItem(r, c, cella = new QTableWidgetItem);
      cella->setText(celle.at(c));
      cella->setBackground(a.bloccato() ? QBrush(kBloccato) : QBrush());
      cella->setToolTip({});
    }
    m_tbl->item(r, 0)->setData(Qt::UserRole, a.esercizio);
    m_tbl->item(r, 2)->setToolTip(NomeFamiglia(a.famiglia));
    if (!a.ultimoErrore.isEmpty()) m_tbl->item(r, 6)->setToolTip(FraseDellAlunno(a.ultimoErrore));
    if (a.esercizio == esercizioScelto) m_tbl->setCurrentCell(r, std::max(0, m_tbl->currentColumn()));
  }
  // Each column as wide as its words (a mistake's name on one line), the state taking the rest.
  m_tbl->resizeColumnsToContents();
  const int bloccati = static_cast<int>(
      std::count_if(m_righe.cbegin(), m_righe.cend(), [](const AlunnoAlLavoro &a) { return a.bloccato(); }));
  const QString stato = m_righe.isEmpty()
                            ? u"Nessun alunno della classe sta facendo un esercizio."_s
                            : u"%1 al lavoro, %2 %3. Aggiornato alle %4."_s.arg(m_righe.size())
                                  .arg(bloccati)
                                  .arg(bloccati == 1 ? u"bloccato"_s : u"bloccati"_s)
                                  .arg(QTime::currentTime().toString(u"HH:mm:ss"_s));
  m_lblStato->setText(stato);
  m_tbl->setAccessibleDescription(stato);
  Q_EMIT mostrata();
}

QStringList FrmInClasse::righeStampa() const {
  QStringList righe{u"In classe ora — %1"_s.arg(m_cmbClasse->currentText()),
                    u"%1 alle %2"_s.arg(m_ctx.orologio.oggi().toString(u"dd/MM/yyyy"_s),
                                        QTime::currentTime().toString(u"HH:mm"_s)),
                    QString()};
  righe << u"%1 %2 %3 %4 %5 %6 %7"_s.arg(u"Alunno"_s, -24)
               .arg(u"Computer"_s, -12)
               .arg(u"Fam."_s, -4)
               .arg(u"Op."_s, -7)
               .arg(u"Esatte"_s, -6)
               .arg(u"Sbagl."_s, -6)
               .arg(u"Ultimo errore"_s);
  for (const AlunnoAlLavoro &a : m_righe) {
    righe << u"%1 %2 %3 %4 %5 %6 %7"_s.arg(a.nome.left(24), -24)
                 .arg(a.computer.left(12), -12)
                 .arg(QString::number(a.famiglia), -4)
                 .arg(u"%1/%2"_s.arg(a.operazione).arg(RegistrazioneEsercizio::kOperazioni), -7)
                 .arg(QString::number(a.esatte), -6)
                 .arg(QString::number(a.sbagliate), -6)
                 .arg(a.ultimoErrore.isEmpty() ? QString() : NomeSbaglio(a.ultimoErrore).left(20));
    if (a.bloccato()) righe << u"    → "_s + TestoStato(a);
  }
  if (m_righe.isEmpty()) righe << u"Nessun alunno della classe sta facendo un esercizio."_s;
  return righe;
}

void FrmInClasse::stampa() {
  const EsitoStampaRegistro e =
      StampaRighe(m_ctx.stampante, u"In classe ora %1"_s.arg(m_cmbClasse->currentText()), righeStampa());
  if (!e.stampato && !e.errore.isEmpty())
    m_ctx.messaggi.mostra(e.errore, TitoloMessaggio(), Messaggi::Icona::Avviso);
}
