#include "ui/registro/frmregistro.h"

#include <QApplication>
#include <QComboBox>
#include <QFileDialog>
#include <QFileInfo>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMessageBox>
#include <QPainter>
#include <QPointer>
#include <QPushButton>
#include <QRegularExpression>
#include <QSet>
#include <QShortcut>
#include <QStandardPaths>
#include <QTabWidget>
#include <QTableWidget>
#include <QVBoxLayout>
#include <algorithm>

#include "platform/messaggi.h"
#include "platform/orologio.h"
#include "platform/stampante.h"
#include "registro/esportacsv.h"
#include "ui/common/aspetto.h"
#include "ui/common/contesto.h"
#include "ui/registro/frmcambiapin.h"
#include "ui/registro/frmimporta.h"
#include "ui/registro/frminclasse.h"
#include "ui/registro/paginacomputer.h"
#include "ui/registro/nomina.h"
#include "ui/registro/testiregistro.h"

using namespace Qt::StringLiterals;

namespace {

QPushButton *Pulsante(const QString &nome, const QString &testo, QWidget *genitore) {
  return Nomina(new QPushButton(testo, genitore), nome, testo);
}

QTableWidget *Tabella(const QString &nome, const QString &accessibile, QWidget *genitore) {
  auto *t = Nomina(new QTableWidget(genitore), nome, accessibile);
  t->setEditTriggers(QAbstractItemView::NoEditTriggers);
  t->setSelectionBehavior(QAbstractItemView::SelectRows);
  t->setSelectionMode(QAbstractItemView::SingleSelection);
  t->verticalHeader()->setVisible(false);
  t->horizontalHeader()->setStretchLastSection(true);
  return t;
}

// Each column as wide as its widest text or its header, as
// resizeColumnsToContents() makes it, but with each different text measured
// once: a school cycle's two thousand rows hold a few dozen texts a column.
void AdattaColonne(QTableWidget *t) {
  QStyleOptionViewItem opzione;
  opzione.initFrom(t);
  opzione.font = t->font();
  opzione.fontMetrics = t->fontMetrics();
  opzione.widget = t;
  opzione.locale = t->locale();
  const int griglia = t->showGrid() ? 1 : 0;
  for (int c = 0; c < t->columnCount(); ++c) {
    QSet<QString> visti;
    int largo = t->horizontalHeader()->sectionSizeHint(c);
    for (int r = 0; r < t->rowCount(); ++r) {
      const QTableWidgetItem *i = t->item(r, c);
      if (!i || visti.contains(i->text())) continue;
      visti.insert(i->text());
      largo =
          std::max(largo, t->itemDelegate()->sizeHint(opzione, t->model()->index(r, c)).width() + griglia);
    }
    t->horizontalHeader()->resizeSection(c, largo);
  }
}

QTableWidgetItem *Cella(const QString &testo, const QVariant &dato = {}) {
  auto *c = new QTableWidgetItem(testo);
  if (dato.isValid()) c->setData(Qt::UserRole, dato);
  return c;
}

// A long task: the busy cursor while it runs.
struct Occupato {
  Occupato() { QApplication::setOverrideCursor(Qt::WaitCursor); }
  ~Occupato() { QApplication::restoreOverrideCursor(); }
  Occupato(const Occupato &) = delete;
  Occupato &operator=(const Occupato &) = delete;
};

}  // namespace

// --- the chart ----------------------------------------------------------------

namespace {
constexpr int kDistanzaPunti = 8;  // pixels between two exercises' dots, at least
}  // namespace

GraficoEsatte::GraficoEsatte(QWidget *genitore) : QWidget(genitore) {
  setObjectName(u"graficoEsatte"_s);
  setAccessibleName(u"Esatte nel tempo"_s);
  setMinimumHeight(160);
}

void GraficoEsatte::imposta(const QList<PuntoSerie> &serie) {
  m_serie = serie;
  setAccessibleDescription(m_serie.isEmpty()
                               ? u"Nessun esercizio finito"_s
                               : u"%1 esercizi finiti; l'ultimo: %2 esatte su %3"_s.arg(m_serie.size())
                                     .arg(m_serie.last().esatte)
                                     .arg(m_serie.last().operazioni));
  update();
}

void GraficoEsatte::paintEvent(QPaintEvent *) {
  QPainter p(this);
  p.setRenderHint(QPainter::Antialiasing);
  p.fillRect(rect(), Qt::white);
  const QFontMetrics fm(font());
  // Room for the scale on the left, the dates below and a whole dot at each end.
  const int sinistra = fm.horizontalAdvance(u"20"_s) + 16, basso = fm.height() + 8,
            alto = fm.height() / 2 + 4, destra = 16;
  const QRect area(sinistra, alto, width() - sinistra - destra, height() - alto - basso);
  p.setPen(QColor(200, 200, 200));
  for (int v = 0; v <= 20; v += 5) {
    const int y = area.bottom() - area.height() * v / 20;
    p.drawLine(area.left(), y, area.right(), y);
    p.setPen(Qt::black);
    p.drawText(QRect(0, y - fm.height() / 2, sinistra - 6, fm.height()), Qt::AlignRight | Qt::AlignVCenter,
               QString::number(v));
    p.setPen(QColor(200, 200, 200));
  }
  p.setPen(Qt::black);
  if (m_serie.isEmpty()) {
    p.drawText(area, Qt::AlignCenter, u"Nessun esercizio finito"_s);
    return;
  }
  // One point per finished exercise, evenly spaced: school days have gaps the
  // teacher does not want to see as empty space. The first and last dates label the axis.
  const auto punto = [&](qsizetype i) {
    const double x = m_serie.size() == 1
                         ? area.center().x()
                         : area.left() + area.width() * double(i) / double(m_serie.size() - 1);
    const PuntoSerie &s = m_serie.at(i);
    const double quota = s.operazioni > 0 ? 20.0 * s.esatte / s.operazioni : 0.0;
    return QPointF(x, area.bottom() - area.height() * quota / 20.0);
  };
  // The dots only where they stand apart: a school cycle's two thousand
  // exercises would pile hundreds of dots on each other.
  QList<QLineF> tratti;
  tratti.reserve(m_serie.size());
  for (qsizetype i = 1; i < m_serie.size(); ++i) tratti << QLineF(punto(i - 1), punto(i));
  p.setPen(QPen(aspetto::kBlu, 2));
  p.drawLines(tratti);
  if (m_serie.size() == 1 || area.width() >= kDistanzaPunti * (m_serie.size() - 1)) {
    p.setBrush(aspetto::kBlu);
    for (qsizetype i = 0; i < m_serie.size(); ++i) p.drawEllipse(punto(i), 3, 3);
  }
  p.setPen(Qt::black);
  const QRect etichette(area.left(), area.bottom() + 4, area.width(), fm.height());
  p.drawText(etichette, Qt::AlignLeft, m_serie.first().quando.toString(u"dd/MM/yyyy"_s));
  if (m_serie.size() > 1)
    p.drawText(etichette, Qt::AlignRight, m_serie.last().quando.toString(u"dd/MM/yyyy"_s));
}

// --- the window ---------------------------------------------------------------

FrmRegistro::FrmRegistro(Registro &registro, Contesto &ctx, QWidget *genitore)
    : QWidget(genitore, Qt::Window), m_registro(registro), m_ctx(ctx) {
  setObjectName(u"FrmRegistro"_s);
  setWindowTitle(u"Registro dell'insegnante"_s);
  setAttribute(Qt::WA_DeleteOnClose);
  aspetto::colora(this, aspetto::kSfondo);
  resize(960, 680);
  m_sceltaFile = [](QWidget *sopra, const QString &suggerito) {
    return QFileDialog::getSaveFileName(sopra, u"Salva il file CSV"_s, suggerito, u"File CSV (*.csv)"_s);
  };
  m_conferma = [](QWidget *sopra, const QString &domanda) {
    return QMessageBox::question(sopra, u"VORNEL"_s, domanda) == QMessageBox::Yes;
  };
  // An erasure whose cleaning could not finish last time is finished now.
  (void)m_registro.compattaSeDovuto();

  auto *lblClasse = Nomina(new QLabel(u"Classe:"_s, this), u"lblClasse"_s, u"Classe"_s);
  m_cmbClasse = Nomina(new QComboBox(this), u"cmbClasse"_s, u"Classe"_s);
  m_cmbClasse->setMinimumWidth(200);
  lblClasse->setBuddy(m_cmbClasse);
  auto *cmdCambiaPin = Pulsante(u"cmdCambiaPin"_s, u"Cambia PIN"_s, this);
  auto *cmdChiudi = Pulsante(u"cmdChiudi"_s, u"Chiudi"_s, this);
  // The live view and the lab's computers are the server's: this computer's
  // own register knows only its own exercises. The PIN is this computer's
  // door, not the server's.
  auto *cmdInClasse = Pulsante(u"cmdInClasse"_s, u"&In classe ora (Ctrl+L)"_s, this);
  cmdInClasse->setAccessibleName(u"In classe ora"_s);
  cmdInClasse->setVisible(m_registro.suServer());
  cmdCambiaPin->setVisible(!m_registro.suServer());
  m_lblProvenienza = Nomina(new QLabel(this), u"lblProvenienza"_s, u"Registro mostrato"_s);
  m_lblProvenienza->setWordWrap(true);
  m_lblProvenienza->setVisible(false);
  auto *testa = new QHBoxLayout;
  testa->addWidget(lblClasse);
  testa->addWidget(m_cmbClasse);
  testa->addStretch();
  testa->addWidget(cmdInClasse);
  testa->addWidget(cmdCambiaPin);
  testa->addWidget(cmdChiudi);

  m_schede = Nomina(new QTabWidget(this), u"tabRegistro"_s, u"Registro"_s);
  const QString titoli[4] = {u"Classe"_s, u"Alunno"_s, u"Esercizio"_s, u"Classi e alunni"_s};
  const QString nomi[4] = {u"paginaClasse"_s, u"paginaAlunno"_s, u"paginaEsercizio"_s, u"paginaGestione"_s};
  QWidget *pagine[4];
  for (int i = 0; i < 4; ++i) {
    pagine[i] = Nomina(new QWidget(m_schede), nomi[i], titoli[i]);
    m_schede->addTab(pagine[i], titoli[i]);
  }
  costruisciClasse(pagine[0]);
  costruisciAlunno(pagine[1]);
  costruisciEsercizio(pagine[2]);
  costruisciGestione(pagine[3]);
  if (m_registro.suServer()) {
    m_paginaComputer = new PaginaComputer(m_registro, m_schede);
    m_schede->addTab(m_paginaComputer, u"Computer"_s);
    connect(m_paginaComputer, &PaginaComputer::letta, this, &FrmRegistro::guasto);
    auto *tasto = new QShortcut(QKeySequence(Qt::CTRL | Qt::Key_L), this);
    connect(tasto, &QShortcut::activated, this, &FrmRegistro::apriInClasse);
    connect(cmdInClasse, &QPushButton::clicked, this, &FrmRegistro::apriInClasse);
  }

  auto *l = new QVBoxLayout(this);
  l->addWidget(m_lblProvenienza);
  l->addLayout(testa);
  l->addWidget(m_schede, 1);

  connect(cmdCambiaPin, &QPushButton::clicked, this, &FrmRegistro::cambiaPin);
  connect(cmdChiudi, &QPushButton::clicked, this, &QWidget::close);
  connect(m_cmbClasse, &QComboBox::currentIndexChanged, this, [this] { mostraClasse(classeScelta()); });
  aggiorna();
}

void FrmRegistro::impostaProvenienza(const QString &testo, bool avviso) {
  m_lblProvenienza->setText(testo);
  m_lblProvenienza->setAccessibleDescription(testo);
  aspetto::coloraTesto(m_lblProvenienza, avviso ? aspetto::kRosso : aspetto::kBlu);
  m_lblProvenienza->setVisible(!testo.isEmpty());
}

void FrmRegistro::apriInClasse() {
  if (!m_registro.suServer()) return;
  // The class in the lab now, else the one chosen here.
  const qint64 classe = ClasseInLaboratorio(m_registro).value_or(classeScelta());
  guasto();
  if (!m_inClasse)
    m_inClasse = new FrmInClasse(m_registro, m_ctx, classe, this, m_lettore);
  else
    m_inClasse->mostraClasse(classe);
  m_inClasse->show();
  m_inClasse->raise();
  m_inClasse->activateWindow();
}

void FrmRegistro::costruisciClasse(QWidget *pagina) {
  m_tblClasse = Tabella(u"tblClasse"_s, u"Alunni e famiglie"_s, pagina);
  auto *cmdStampa = Pulsante(u"cmdStampaClasse"_s, u"Stampa la classe"_s, pagina);
  auto *cmdCsv = Pulsante(u"cmdCsvClasse"_s, u"CSV della classe"_s, pagina);
  auto *cmdCsvOp = Pulsante(u"cmdCsvOperazioni"_s, u"CSV delle operazioni"_s, pagina);
  auto *nota = Nomina(new QLabel(u"Ultima valutazione per famiglia: ↑ sale, ↓ scende, = stabile. "
                                 u"Doppio clic o Invio su un alunno per la sua pagina."_s,
                                 pagina),
                      u"lblNotaClasse"_s, u"Legenda"_s);
  nota->setWordWrap(true);
  auto *pulsanti = new QHBoxLayout;
  pulsanti->addWidget(cmdStampa);
  pulsanti->addWidget(cmdCsv);
  pulsanti->addWidget(cmdCsvOp);
  pulsanti->addStretch();
  auto *l = new QVBoxLayout(pagina);
  l->addWidget(m_tblClasse, 1);
  l->addWidget(nota);
  l->addLayout(pulsanti);
  connect(cmdStampa, &QPushButton::clicked, this, &FrmRegistro::stampaClasse);
  connect(cmdCsv, &QPushButton::clicked, this, [this] { esporta(0); });
  connect(cmdCsvOp, &QPushButton::clicked, this, [this] { esporta(2); });
  connect(m_tblClasse, &QTableWidget::cellActivated, this, [this](int riga) {
    if (const QTableWidgetItem *c = m_tblClasse->item(riga, 0)) {
      mostraAlunno(c->data(Qt::UserRole).toLongLong());
      m_schede->setCurrentIndex(1);
    }
  });
}

void FrmRegistro::costruisciAlunno(QWidget *pagina) {
  auto *lbl = Nomina(new QLabel(u"Alunno:"_s, pagina), u"lblAlunno"_s, u"Alunno"_s);
  m_cmbAlunno = Nomina(new QComboBox(pagina), u"cmbAlunno"_s, u"Alunno"_s);
  m_cmbAlunno->setMinimumWidth(220);
  lbl->setBuddy(m_cmbAlunno);
  m_tblEsercizi = Tabella(u"tblEsercizi"_s, u"Esercizi dell'alunno"_s, pagina);
  m_tblEsercizi->setColumnCount(9);
  m_tblEsercizi->setHorizontalHeaderLabels({u"Data"_s, u"Famiglia"_s, u"Cifre"_s, u"Da trovare"_s, u"Ordine"_s,
                                            u"Esatte"_s, u"Valutazione"_s, u"Tempo"_s,
                                            u"Errore più frequente"_s});
  m_grafico = new GraficoEsatte(pagina);
  auto *cmdStampa = Pulsante(u"cmdStampaAlunno"_s, u"Stampa la pagina"_s, pagina);
  auto *cmdCsv = Pulsante(u"cmdCsvAlunno"_s, u"CSV dell'alunno"_s, pagina);
  auto *testa = new QHBoxLayout;
  testa->addWidget(lbl);
  testa->addWidget(m_cmbAlunno);
  testa->addStretch();
  testa->addWidget(cmdStampa);
  testa->addWidget(cmdCsv);
  auto *l = new QVBoxLayout(pagina);
  l->addLayout(testa);
  l->addWidget(m_tblEsercizi, 3);
  l->addWidget(
      Nomina(new QLabel(u"Esatte su 20 nel tempo:"_s, pagina), u"lblGrafico"_s, u"Esatte nel tempo"_s));
  l->addWidget(m_grafico, 2);
  m_tblCasi = Tabella(u"tblCasi"_s, u"Casi per famiglia"_s, pagina);
  m_tblCasi->setColumnCount(5);
  m_tblCasi->setHorizontalHeaderLabels(
      {u"Famiglia"_s, u"Imparati"_s, u"In esercizio"_s, u"Nuovi"_s, u"Sbagli ripetuti"_s});
  m_tblCasi->horizontalHeaderItem(1)->setToolTip(u"Giusti al primo tentativo in due giorni diversi"_s);
  m_tblCasi->horizontalHeaderItem(4)->setToolTip(u"Almeno due volte nelle ultime dieci operazioni"_s);
  m_tblCasi->hide();
  l->addWidget(m_tblCasi, 2);
  connect(m_cmbAlunno, &QComboBox::activated, this,
          [this] { mostraAlunno(m_cmbAlunno->currentData().toLongLong()); });
  connect(cmdStampa, &QPushButton::clicked, this, &FrmRegistro::stampaAlunno);
  connect(cmdCsv, &QPushButton::clicked, this, [this] { esporta(1); });
  connect(m_tblEsercizi, &QTableWidget::cellActivated, this, [this](int riga) {
    if (const QTableWidgetItem *c = m_tblEsercizi->item(riga, 0)) {
      mostraEsercizio(c->data(Qt::UserRole).toLongLong());
      m_schede->setCurrentIndex(2);
    }
  });
}

void FrmRegistro::costruisciEsercizio(QWidget *pagina) {
  m_lblEsercizio =
      Nomina(new QLabel(u"Doppio clic o Invio su un esercizio nella pagina dell'alunno."_s, pagina),
             u"lblEsercizio"_s, u"Esercizio"_s);
  m_tblOperazioni = Tabella(u"tblOperazioni"_s, u"Operazioni dell'esercizio"_s, pagina);
  m_tblOperazioni->setColumnCount(6);
  m_tblOperazioni->setHorizontalHeaderLabels(
      {u"N."_s, u"Operazione"_s, u"Risultato"_s, u"Risposte dell'alunno"_s, u"Tempo"_s, u"Aiuto"_s});
  auto *l = new QVBoxLayout(pagina);
  l->addWidget(m_lblEsercizio);
  l->addWidget(m_tblOperazioni, 1);
}

void FrmRegistro::costruisciGestione(QWidget *pagina) {
  m_lstClassi = Nomina(new QListWidget(pagina), u"lstClassi"_s, u"Classi"_s);
  m_lstAlunni = Nomina(new QListWidget(pagina), u"lstAlunni"_s, u"Alunni della classe"_s);
  m_txtNome = Nomina(new QLineEdit(pagina), u"txtNome"_s, u"Nome"_s);
  m_txtNome->setPlaceholderText(u"Nome della classe o dell'alunno"_s);
  auto *lblNome = Nomina(new QLabel(u"Nome:"_s, pagina), u"lblNome"_s, u"Nome"_s);
  lblNome->setBuddy(m_txtNome);
  auto *g = new QGridLayout(pagina);
  g->addWidget(Nomina(new QLabel(u"Classi"_s, pagina), u"lblClassi"_s, u"Classi"_s), 0, 0);
  g->addWidget(Nomina(new QLabel(u"Alunni della classe"_s, pagina), u"lblAlunni"_s, u"Alunni"_s), 0, 1);
  g->addWidget(m_lstClassi, 1, 0);
  g->addWidget(m_lstAlunni, 1, 1);
  auto *riga = new QHBoxLayout;
  riga->addWidget(lblNome);
  riga->addWidget(m_txtNome, 1);
  g->addLayout(riga, 2, 0, 1, 2);
  struct Comando {
    const char16_t *nome, *testo;
    int colonna;
  };
  const Comando comandi[] = {
      {u"cmdNuovaClasse", u"Nuova classe", 0},       {u"cmdRinominaClasse", u"Rinomina classe", 0},
      {u"cmdCancellaClasse", u"Cancella classe", 0}, {u"cmdNuovoAlunno", u"Nuovo alunno", 1},
      {u"cmdRinominaAlunno", u"Rinomina alunno", 1}, {u"cmdCancellaAlunno", u"Cancella alunno", 1}};
  QVBoxLayout *colonne[2] = {new QVBoxLayout, new QVBoxLayout};
  QPushButton *p[6];
  for (int i = 0; i < 6; ++i) {
    p[i] = Pulsante(QString::fromUtf16(comandi[i].nome), QString::fromUtf16(comandi[i].testo), pagina);
    colonne[comandi[i].colonna]->addWidget(p[i]);
  }
  auto *cmdImporta = Pulsante(u"cmdImportaElenco"_s, u"Importa elenco…"_s, pagina);
  colonne[0]->addWidget(cmdImporta);
  connect(cmdImporta, &QPushButton::clicked, this, &FrmRegistro::importaElenco);
  g->addLayout(colonne[0], 3, 0);
  g->addLayout(colonne[1], 3, 1);

  const auto classe = [this] {
    return m_lstClassi->currentItem() ? m_lstClassi->currentItem()->data(Qt::UserRole).toLongLong() : 0;
  };
  const auto alunno = [this] {
    return m_lstAlunni->currentItem() ? m_lstAlunni->currentItem()->data(Qt::UserRole).toLongLong() : 0;
  };
  const auto dopo = [this](const Esito &e) {
    if (esito(e)) {
      m_txtNome->clear();
      aggiorna();
    }
  };
  connect(m_lstClassi, &QListWidget::currentRowChanged, this, &FrmRegistro::riempiGestioneAlunni);
  connect(p[0], &QPushButton::clicked, this,
          [this, dopo] { dopo(m_registro.nuovaClasse(m_txtNome->text())); });
  connect(p[1], &QPushButton::clicked, this, [this, dopo, classe] {
    if (classe()) dopo(m_registro.rinominaClasse(classe(), m_txtNome->text()));
  });
  connect(p[2], &QPushButton::clicked, this, [this, classe] {
    if (!classe()) return;
    QString domanda =
        u"Cancellare la classe «%1» con tutti i suoi alunni e i loro esercizi? "
        u"Non si potrà tornare indietro."_s.arg(m_lstClassi->currentItem()->text());
    if (m_registro.suServer())
      domanda +=
          u" Sarà cancellata dal server della scuola e da ogni computer del laboratorio al suo prossimo "
          u"collegamento."_s;
    if (!m_conferma(this, domanda)) return;
    Occupato o;
    dopoCancellazione(m_registro.cancellaClasse(classe()));
  });
  connect(p[3], &QPushButton::clicked, this, [this, dopo, classe] {
    if (!classe()) {
      m_ctx.messaggi.mostra(u"Scegli prima la classe."_s, TitoloMessaggi(), Messaggi::Icona::Informazione);
      return;
    }
    dopo(m_registro.nuovoAlunno(classe(), m_txtNome->text()));
  });
  connect(p[4], &QPushButton::clicked, this, [this, dopo, alunno] {
    if (alunno()) dopo(m_registro.rinominaAlunno(alunno(), m_txtNome->text()));
  });
  connect(p[5], &QPushButton::clicked, this, [this, alunno] {
    if (!alunno()) return;
    QString domanda =
        u"Cancellare l'alunno «%1» e tutti i suoi esercizi? Non si potrà tornare indietro."_s.arg(
            m_lstAlunni->currentItem()->text());
    if (m_registro.suServer())
      domanda +=
          u" Sarà cancellato dal server della scuola e da ogni computer del laboratorio al suo prossimo "
          u"collegamento."_s;
    if (!m_conferma(this, domanda)) return;
    Occupato o;
    dopoCancellazione(m_registro.cancellaAlunno(alunno()));
  });
}

// An erasure is told as it went: the cleaning of the file left to finish, and
// the copies set aside as damaged that may still hold what was erased.
void FrmRegistro::dopoCancellazione(const Esito &e) {
  if (!esito(e)) return;
  m_txtNome->clear();
  aggiorna();
  if (!e.messaggio.isEmpty()) m_ctx.messaggi.mostra(e.messaggio, TitoloMessaggi(), Messaggi::Icona::Avviso);
  const QStringList copie = m_registro.copieMesseDaParte();
  if (copie.isEmpty()) return;
  QStringList nomi;
  for (const QString &c : copie) nomi << QFileInfo(c).fileName();
  const QString domanda =
      u"Nella cartella del registro restano copie messe da parte perché danneggiate, che possono contenere "
      u"ancora i dati cancellati:\n%1\n\nCancellarle?"_s.arg(nomi.join(u'\n'));
  if (!m_conferma(this, domanda)) return;
  if (!m_registro.cancellaCopieMesseDaParte())
    m_ctx.messaggi.mostra(u"Non sono riuscito a cancellare tutte le copie: sono nella cartella «%1»."_s.arg(
                              QFileInfo(m_registro.percorso()).absolutePath()),
                          TitoloMessaggi(), Messaggi::Icona::Avviso);
}

bool FrmRegistro::esito(const Esito &e) {
  if (e) return true;
  // A fault is told once by the register; a refusal (a blank name) each time.
  if (const auto m = m_registro.prendiMessaggio())
    m_ctx.messaggi.mostra(*m, TitoloMessaggi(), Messaggi::Icona::Avviso);
  else if (m_registro.guasto() == Guasto::Nessuno && !e.messaggio.isEmpty())
    m_ctx.messaggi.mostra(e.messaggio, TitoloMessaggi(), Messaggi::Icona::Informazione);
  return false;
}

void FrmRegistro::guasto() {
  if (const auto m = m_registro.prendiMessaggio())
    m_ctx.messaggi.mostra(*m, TitoloMessaggi(), Messaggi::Icona::Avviso);
}

qint64 FrmRegistro::classeScelta() const {
  return m_cmbClasse->currentData().toLongLong();
}

qint64 FrmRegistro::alunnoScelto() const {
  return m_pagina ? m_pagina->alunno.id : -1;
}

void FrmRegistro::aggiorna() {
  const bool primaVolta = m_cmbClasse->count() == 0;
  const qint64 prima = classeScelta();
  riempiClassi();
  if (const int i = m_cmbClasse->findData(prima); i >= 0 && !primaVolta) m_cmbClasse->setCurrentIndex(i);
  mostraClasse(classeScelta());
  if (m_paginaComputer) m_paginaComputer->aggiorna();
}

void FrmRegistro::riempiClassi() {
  const QSignalBlocker b(m_cmbClasse);
  m_cmbClasse->clear();
  const qint64 primaGestione =
      m_lstClassi->currentItem() ? m_lstClassi->currentItem()->data(Qt::UserRole).toLongLong() : 0;
  m_lstClassi->clear();
  for (const Classe &c : m_registro.classi()) {
    m_cmbClasse->addItem(c.nome, c.id);
    auto *v = new QListWidgetItem(c.nome, m_lstClassi);
    v->setData(Qt::UserRole, c.id);
    if (c.id == primaGestione) m_lstClassi->setCurrentItem(v);
  }
  // The exercises done without a name have a page of their own.
  m_cmbClasse->addItem(kSenzaNome, qint64{0});
  if (!m_lstClassi->currentItem() && m_lstClassi->count() > 0) m_lstClassi->setCurrentRow(0);
  riempiGestioneAlunni();
  guasto();
}

void FrmRegistro::riempiGestioneAlunni() {
  m_lstAlunni->clear();
  if (!m_lstClassi->currentItem()) return;
  for (const Alunno &a : m_registro.alunni(m_lstClassi->currentItem()->data(Qt::UserRole).toLongLong())) {
    auto *v = new QListWidgetItem(a.nome, m_lstAlunni);
    v->setData(Qt::UserRole, a.id);
  }
}

void FrmRegistro::mostraClasse(qint64 classe) {
  m_tblClasse->clear();
  m_tblClasse->setRowCount(0);
  m_cmbAlunno->clear();
  if (classe == 0) {
    m_vista.reset();
    m_tblClasse->setColumnCount(1);
    m_tblClasse->setHorizontalHeaderLabels({u"Alunno"_s});
    m_cmbAlunno->addItem(kSenzaNome, qint64{0});
    mostraAlunno(0);
    return;
  }
  m_vista = LeggiVistaClasse(m_registro, classe);
  guasto();
  if (!m_vista) return;
  const VistaClasse &v = *m_vista;
  // The cases learnt take a column once the register knows any.
  const bool casi = std::any_of(v.righe.cbegin(), v.righe.cend(),
                                [](const RigaClasse &riga) { return !riga.padroneggiati.isEmpty(); });
  m_tblClasse->setColumnCount(1 + static_cast<int>(v.famiglie.size()) + (casi ? 1 : 0));
  QStringList testate{u"Alunno"_s};
  for (int f : v.famiglie) testate << u"Famiglia %1"_s.arg(f);
  if (casi) testate << u"Casi imparati"_s;
  m_tblClasse->setHorizontalHeaderLabels(testate);
  for (int i = 0; i < static_cast<int>(v.famiglie.size()); ++i)
    m_tblClasse->horizontalHeaderItem(i + 1)->setToolTip(NomeFamiglia(v.famiglie.at(i)));
  m_tblClasse->setRowCount(static_cast<int>(v.righe.size()));
  for (int r = 0; r < static_cast<int>(v.righe.size()); ++r) {
    const RigaClasse &riga = v.righe.at(r);
    m_tblClasse->setItem(r, 0, Cella(riga.alunno.nome, riga.alunno.id));
    m_cmbAlunno->addItem(riga.alunno.nome, riga.alunno.id);
    for (const CasellaClasse &c : riga.famiglie) {
      const int colonna = static_cast<int>(v.famiglie.indexOf(c.famiglia)) + 1;
      auto *cella = Cella(TestoCasella(c));
      cella->setToolTip(
          u"%1 esercizi finiti; l'ultimo il %2"_s.arg(c.esercizi).arg(c.ultimo.toString(u"dd/MM/yyyy"_s)));
      m_tblClasse->setItem(r, colonna, cella);
    }
    if (casi) {
      auto *cella = Cella(TestoPadroneggiati(riga));
      cella->setToolTip(u"Per famiglia: i casi giusti al primo tentativo in due giorni diversi"_s);
      m_tblClasse->setItem(r, m_tblClasse->columnCount() - 1, cella);
    }
  }
  m_tblClasse->resizeColumnsToContents();
  m_tblClasse->horizontalHeader()->setStretchLastSection(true);
  mostraAlunno(v.righe.isEmpty() ? -1 : v.righe.first().alunno.id);
}

void FrmRegistro::mostraAlunno(qint64 alunno) {
  m_tblEsercizi->setRowCount(0);
  m_pagina.reset();
  if (alunno >= 0) m_pagina = LeggiPaginaAlunno(m_registro, alunno);
  guasto();
  if (const int i = m_cmbAlunno->findData(alunno); i >= 0) m_cmbAlunno->setCurrentIndex(i);
  m_grafico->imposta(m_pagina ? m_pagina->serie : QList<PuntoSerie>{});
  if (!m_pagina) return;
  const auto &es = m_pagina->esercizi;
  m_tblEsercizi->setRowCount(static_cast<int>(es.size()));
  // The newest first: the teacher looks at the latest work.
  for (int r = 0; r < static_cast<int>(es.size()); ++r) {
    const RigaEsercizio &e = es.at(es.size() - 1 - r);
    QString valutazione = e.valutazione;
    if (e.stato == StatoEsercizio::NonFinito) valutazione = u"non finito"_s;
    if (e.stato == StatoEsercizio::InCorso) valutazione = u"in corso"_s;
    m_tblEsercizi->setItem(r, 0, Cella(e.inizio.toString(u"dd/MM/yyyy hh:mm"_s), e.id));
    auto *fam = Cella(QString::number(e.famiglia));
    fam->setToolTip(NomeFamiglia(e.famiglia));
    m_tblEsercizi->setItem(r, 1, fam);
    m_tblEsercizi->setItem(r, 2, Cella(QString::number(e.cifre)));
    m_tblEsercizi->setItem(r, 3, Cella(TestoCosa(e.cosa)));
    m_tblEsercizi->setItem(r, 4, Cella(TestoOrdine(e.ordine)));
    m_tblEsercizi->setItem(r, 5, Cella(u"%1 su %2"_s.arg(e.esatte).arg(e.operazioni)));
    m_tblEsercizi->setItem(r, 6, Cella(valutazione));
    m_tblEsercizi->setItem(r, 7, Cella(TestoDurata(e.secondi)));
    auto *errore = Cella(NomeSbaglio(e.erroreFrequente));
    errore->setToolTip(FraseDellAlunno(e.erroreFrequente));
    m_tblEsercizi->setItem(r, 8, errore);
  }
  AdattaColonne(m_tblEsercizi);
  m_tblEsercizi->horizontalHeader()->setStretchLastSection(true);
  mostraPadronanza();
}

void FrmRegistro::mostraPadronanza() {
  m_tblCasi->setRowCount(0);
  const bool con = m_pagina && m_pagina->conPadronanza();
  m_tblCasi->setVisible(con);
  if (!con) return;
  const auto &fam = m_pagina->padronanza;
  m_tblCasi->setRowCount(static_cast<int>(fam.size()));
  for (int r = 0; r < static_cast<int>(fam.size()); ++r) {
    const PadronanzaFamiglia &f = fam.at(r);
    auto *nome = Cella(QString::number(f.famiglia));
    nome->setToolTip(NomeFamiglia(f.famiglia));
    m_tblCasi->setItem(r, 0, nome);
    m_tblCasi->setItem(r, 1, Cella(CasiNelloStato(f, StatoCaso::Padroneggiato)));
    m_tblCasi->setItem(r, 2, Cella(CasiNelloStato(f, StatoCaso::InEsercizio)));
    m_tblCasi->setItem(r, 3, Cella(CasiNelloStato(f, StatoCaso::Nuovo)));
    auto *ripetuti = Cella(TestoRipetuti(f));
    QStringList frasi;
    for (const QString &chiave : f.ripetuti) frasi << FraseDellAlunno(chiave);
    ripetuti->setToolTip(frasi.join(u'\n'));
    m_tblCasi->setItem(r, 4, ripetuti);
  }
  AdattaColonne(m_tblCasi);
  m_tblCasi->horizontalHeader()->setStretchLastSection(true);
}

void FrmRegistro::mostraEsercizio(qint64 esercizio) {
  m_tblOperazioni->setRowCount(0);
  const auto ops = LeggiOperazioni(m_registro, esercizio);
  guasto();
  if (!ops) return;
  if (m_pagina) {
    for (const RigaEsercizio &e : m_pagina->esercizi)
      if (e.id == esercizio)
        m_lblEsercizio->setText(u"%1 — %2, famiglia %3: %4 esatte su %5"_s
                                    .arg(m_pagina->alunno.id == 0 ? kSenzaNome : m_pagina->alunno.nome,
                                         e.inizio.toString(u"dd/MM/yyyy hh:mm"_s))
                                    .arg(e.famiglia)
                                    .arg(e.esatte)
                                    .arg(e.operazioni));
  }
  m_tblOperazioni->setRowCount(static_cast<int>(ops->size()));
  for (int r = 0; r < static_cast<int>(ops->size()); ++r) {
    const OperazioneRegistrata &o = ops->at(r);
    m_tblOperazioni->setItem(r, 0, Cella(QString::number(o.numero)));
    m_tblOperazioni->setItem(r, 1, Cella(TestoOperazione(o)));
    m_tblOperazioni->setItem(r, 2, Cella(o.risultato));
    QStringList risposte;
    QStringList frasi;
    for (const Risposta &ris : o.risposte) {
      risposte << (ris.errore.isEmpty() ? ris.testo + u" (giusta)"_s
                                        : u"%1 (%2)"_s.arg(ris.testo, NomeSbaglio(ris.errore)));
      if (!ris.errore.isEmpty()) frasi << FraseDellAlunno(ris, o.chiesto);
    }
    auto *c = Cella(risposte.join(u"; "_s));
    c->setToolTip(frasi.join(u'\n'));
    m_tblOperazioni->setItem(r, 3, c);
    m_tblOperazioni->setItem(r, 4, Cella(TestoDurata(o.secondi)));
    m_tblOperazioni->setItem(r, 5, Cella(o.intervento ? u"il programma ha dato il risultato"_s : QString()));
  }
  m_tblOperazioni->resizeColumnsToContents();
  m_tblOperazioni->horizontalHeader()->setStretchLastSection(true);
}

void FrmRegistro::stampaClasse() {
  if (!m_vista) return;
  const EsitoStampaRegistro e = StampaRighe(m_ctx.stampante, u"Registro %1"_s.arg(m_vista->classe.nome),
                                            RigheStampaClasse(*m_vista, m_ctx.orologio.oggi()));
  if (!e.stampato && !e.errore.isEmpty())
    m_ctx.messaggi.mostra(e.errore, TitoloMessaggi(), Messaggi::Icona::Avviso);
}

// The chart as the page shows it, drawn afresh at the printer's resolution.
QImage FrmRegistro::immagineGrafico() const {
  if (!m_pagina || m_pagina->serie.isEmpty()) return {};
  const double dpi = m_ctx.stampante.risoluzione();
  const QSize pixel(qRound(kLarghezzaGrafico / 1440.0 * dpi), qRound(kAltezzaGrafico / 1440.0 * dpi));
  GraficoEsatte copia;
  copia.imposta(m_pagina->serie);
  QFont f = copia.font();
  f.setPixelSize(std::max(8, pixel.height() / 16));
  copia.setFont(f);
  copia.resize(pixel);
  QImage img(pixel, QImage::Format_RGB32);
  img.fill(Qt::white);
  copia.render(&img);
  return img;
}

void FrmRegistro::stampaAlunno() {
  if (!m_pagina) return;
  const EsitoStampaRegistro e =
      StampaRighe(m_ctx.stampante, m_pagina->alunno.id == 0 ? kSenzaNome : m_pagina->alunno.nome,
                  RigheStampaAlunno(*m_pagina, m_ctx.orologio.oggi()), immagineGrafico());
  if (!e.stampato && !e.errore.isEmpty())
    m_ctx.messaggi.mostra(e.errore, TitoloMessaggi(), Messaggi::Icona::Avviso);
}

void FrmRegistro::esporta(int tipo) {
  const qint64 classe = classeScelta();
  if (tipo != 1 && (!m_vista || classe == 0)) return;
  if (tipo == 1 && !m_pagina) return;
  QString nome =
      tipo == 1 ? (m_pagina->alunno.id == 0 ? kSenzaNome : m_pagina->alunno.nome) : m_vista->classe.nome;
  nome.replace(QRegularExpression(u"[/\\\\:*?\"<>|]"_s), u"_"_s);
  if (tipo == 2) nome += u" operazioni"_s;
  const QString cartella = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
  const QString file = m_sceltaFile(this, cartella + u'/' + nome + u".csv"_s);
  if (file.isEmpty()) return;
  EsportaCsv csv(m_registro, NomeSbaglio);
  Esito e;
  {
    Occupato o;
    e = tipo == 0   ? csv.classe(classe, file)
        : tipo == 1 ? csv.alunno(m_pagina->alunno.id, file)
                    : csv.operazioniClasse(classe, file);
  }
  if (esito(e))
    m_ctx.messaggi.mostra(u"File salvato: %1"_s.arg(file), TitoloMessaggi(), Messaggi::Icona::Informazione);
}

void FrmRegistro::importaElenco() {
  const QString classe = m_lstClassi->currentItem() ? m_lstClassi->currentItem()->text() : QString();
  // Watched as the PIN's change is: this window may go while the dialog is up.
  const QPointer<FrmRegistro> io(this);
  QPointer<FrmImporta> finestra =
      new FrmImporta(std::make_unique<DestinazioneRegistro>(m_registro), m_ctx.messaggi, classe, this);
  const int esito = finestra->exec();
  if (!io) return;
  delete finestra.data();
  if (esito == QDialog::Accepted) aggiorna();
}

void FrmRegistro::cambiaPin() {
  PortaDocente porta(m_registro, m_adesso, m_iterazioni);
  // On the heap, watched: should this window go while the question is up, the
  // question goes with it and nothing of this window is touched afterwards.
  const QPointer<FrmRegistro> io(this);
  QPointer<FrmCambiaPin> finestra = new FrmCambiaPin(porta, this);
  const int esito = finestra->exec();
  if (!io) return;
  delete finestra.data();
  if (esito != QDialog::Accepted) return;
  m_ctx.messaggi.mostra(
      u"Il PIN è stato cambiato: da adesso il registro e le opzioni si aprono con il nuovo."_s,
      TitoloMessaggi(), Messaggi::Icona::Informazione);
}
