#include "ui/registro/frmimporta.h"

#include <QApplication>
#include <QButtonGroup>
#include <QCheckBox>
#include <QClipboard>
#include <QComboBox>
#include <QFileDialog>
#include <QFileInfo>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QStandardPaths>
#include <QTableWidget>
#include <QVBoxLayout>

#include "platform/messaggi.h"
#include "registro/convertifoglio.h"
#include "ui/common/aspetto.h"

#include "ui/registro/nomina.h"

using namespace Qt::StringLiterals;

namespace {

QLabel *Etichetta(const QString &testo, QWidget *compagno, QWidget *genitore) {
  auto *l = new QLabel(testo, genitore);
  l->setObjectName(u"lbl"_s + compagno->objectName().mid(3));
  l->setAccessibleName(QString(testo).remove(u'&').remove(u':'));
  l->setBuddy(compagno);
  return l;
}

QString Plurale(int n, const QString &uno, const QString &tanti) {
  return n == 1 ? uno : tanti.arg(n);
}

}  // namespace

FrmImporta::FrmImporta(std::unique_ptr<DestinazioneElenco> destinazione, Messaggi &messaggi,
                       const QString &classe, QWidget *genitore)
    : QDialog(genitore), m_destinazione(std::move(destinazione)), m_messaggi(messaggi) {
  setObjectName(u"FrmImporta"_s);
  setWindowTitle(u"Importa l'elenco di una classe"_s);
  aspetto::colora(this, aspetto::kSfondo);
  resize(820, 620);
  m_sceltaApertura = [](QWidget *sopra) {
    return QFileDialog::getOpenFileName(
        sopra, u"Apri l'elenco della classe"_s,
        QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation),
        u"Elenchi (*.csv *.tsv *.txt *.xls *.xlsx *.ods);;Tutti i file (*)"_s);
  };
  m_presenti = m_destinazione->presenti();

  // Where the list comes from.
  m_cmdIncolla = Nomina(new QPushButton(u"&Incolla"_s, this), u"cmdIncolla"_s, u"Incolla"_s);
  m_cmdIncolla->setToolTip(u"Incolla le righe copiate da un foglio di calcolo o da una pagina web"_s);
  m_cmdApri = Nomina(new QPushButton(u"&Apri file…"_s, this), u"cmdApriFile"_s, u"Apri file"_s);
  m_cmdApri->setToolTip(u"CSV, TSV, Excel (.xls); .xlsx e .ods con LibreOffice"_s);
  m_lblOrigine =
      Nomina(new QLabel(u"Copia i nomi da un foglio di calcolo (o dal registro elettronico) e premi "
                        u"«Incolla», oppure apri un file."_s,
                        this),
             u"lblOrigine"_s, u"Elenco"_s);
  m_lblOrigine->setWordWrap(true);

  // Where it goes and how it is read.
  m_cmbClasse = Nomina(new QComboBox(this), u"cmbClasseImporta"_s, u"Classe in cui importare"_s);
  m_cmbClasse->setEditable(true);
  m_cmbClasse->setInsertPolicy(QComboBox::NoInsert);
  for (const ClassePresente &c : m_presenti) m_cmbClasse->addItem(c.nome);
  m_cmbClasse->setCurrentText(classe);
  m_cmbClasse->lineEdit()->setPlaceholderText(u"Scegli una classe o scrivi il nome di una nuova"_s);
  m_cmbClasse->setMinimumWidth(240);

  m_chkIntestazione = Nomina(new QCheckBox(u"La prima riga è l'in&testazione"_s, this), u"chkIntestazione"_s,
                             u"La prima riga è l'intestazione"_s);
  m_cmbCognome = Nomina(new QComboBox(this), u"cmbCognome"_s, u"Colonna del cognome"_s);
  m_cmbNome = Nomina(new QComboBox(this), u"cmbNome"_s, u"Colonna del nome"_s);
  m_cmbIntero = Nomina(new QComboBox(this), u"cmbIntero"_s, u"Colonna del nome intero"_s);
  m_cmbColClasse = Nomina(new QComboBox(this), u"cmbColClasse"_s, u"Colonna della classe"_s);
  m_cmbColClasse->setToolTip(
      u"Se l'elenco ha una colonna della classe, ogni alunno va nella sua classe "
      u"(creata se manca); le righe senza classe vanno in quella scelta sopra."_s);
  auto *colonne = new QGroupBox(u"Colonne"_s, this);
  colonne->setObjectName(u"grpColonne"_s);
  auto *g = new QGridLayout(colonne);
  g->addWidget(m_chkIntestazione, 0, 0, 1, 4);
  g->addWidget(Etichetta(u"Co&gnome:"_s, m_cmbCognome, colonne), 1, 0);
  g->addWidget(m_cmbCognome, 1, 1);
  g->addWidget(Etichetta(u"N&ome:"_s, m_cmbNome, colonne), 1, 2);
  g->addWidget(m_cmbNome, 1, 3);
  g->addWidget(Etichetta(u"Oppure nome int&ero:"_s, m_cmbIntero, colonne), 2, 0);
  g->addWidget(m_cmbIntero, 2, 1);
  g->addWidget(Etichetta(u"Colonna c&lasse:"_s, m_cmbColClasse, colonne), 2, 2);
  g->addWidget(m_cmbColClasse, 2, 3);
  g->setColumnStretch(1, 1);
  g->setColumnStretch(3, 1);

  auto *optCognomeNome =
      Nomina(new QRadioButton(u"«Cognome &Nome»"_s, this), u"optCognomeNome"_s, u"Cognome Nome"_s);
  auto *optNomeIniziale = Nomina(new QRadioButton(u"«Nome C.» (nome e ini&ziale del cognome)"_s, this),
                                 u"optNomeIniziale"_s, u"Nome e iniziale del cognome"_s);
  m_unione = new QButtonGroup(this);
  m_unione->addButton(optCognomeNome, int(Unione::CognomeNome));
  m_unione->addButton(optNomeIniziale, int(Unione::NomeIniziale));
  optCognomeNome->setChecked(true);
  m_chkMaiuscole = Nomina(new QCheckBox(u"&Scrivi «ROSSI» come «Rossi»"_s, this), u"chkMaiuscole"_s,
                          u"Scrivi i nomi in maiuscolo con la sola iniziale maiuscola"_s);
  m_chkMaiuscole->setChecked(true);
  auto *unione = new QHBoxLayout;
  unione->addWidget(
      Nomina(new QLabel(u"Nome nel registro:"_s, this), u"lblUnione"_s, u"Nome nel registro"_s));
  unione->addWidget(optCognomeNome);
  unione->addWidget(optNomeIniziale);
  unione->addStretch();
  unione->addWidget(m_chkMaiuscole);

  // The preview.
  m_tblAnteprima = Nomina(new QTableWidget(0, 4, this), u"tblAnteprima"_s, u"Anteprima dell'importazione"_s);
  m_tblAnteprima->setHorizontalHeaderLabels({u"Riga"_s, u"Alunno"_s, u"Classe"_s, u"Esito"_s});
  m_tblAnteprima->setEditTriggers(QAbstractItemView::NoEditTriggers);
  m_tblAnteprima->setSelectionBehavior(QAbstractItemView::SelectRows);
  m_tblAnteprima->verticalHeader()->setVisible(false);
  m_tblAnteprima->horizontalHeader()->setStretchLastSection(true);
  m_lblConteggi = Nomina(new QLabel(this), u"lblConteggi"_s, u"Conteggi"_s);

  m_cmdImporta = Nomina(new QPushButton(u"Im&porta"_s, this), u"cmdImporta"_s, u"Importa"_s);
  m_cmdImporta->setAutoDefault(false);
  auto *cmdAnnulla = Nomina(new QPushButton(u"Annulla"_s, this), u"cmdAnnulla"_s, u"Annulla"_s);
  cmdAnnulla->setAutoDefault(false);

  auto *origine = new QHBoxLayout;
  origine->addWidget(m_cmdIncolla);
  origine->addWidget(m_cmdApri);
  origine->addWidget(m_lblOrigine, 1);
  auto *dove = new QHBoxLayout;
  dove->addWidget(Etichetta(u"&Classe in cui importare:"_s, m_cmbClasse, this));
  dove->addWidget(m_cmbClasse);
  dove->addStretch();
  auto *pulsanti = new QHBoxLayout;
  pulsanti->addWidget(m_lblConteggi, 1);
  pulsanti->addWidget(m_cmdImporta);
  pulsanti->addWidget(cmdAnnulla);
  auto *l = new QVBoxLayout(this);
  l->addLayout(origine);
  l->addLayout(dove);
  l->addWidget(colonne);
  l->addLayout(unione);
  l->addWidget(m_tblAnteprima, 1);
  l->addLayout(pulsanti);

  connect(m_cmdIncolla, &QPushButton::clicked, this, [this] { incolla(QApplication::clipboard()->text()); });
  connect(m_cmdApri, &QPushButton::clicked, this, [this] {
    if (const QString f = m_sceltaApertura(this); !f.isEmpty()) apri(f);
  });
  connect(m_cmbClasse, &QComboBox::currentTextChanged, this, &FrmImporta::esamina);
  connect(m_chkIntestazione, &QCheckBox::toggled, this, [this](bool si) {
    m_colonne.intestazione = si;
    riempiColonne();
  });
  for (QComboBox *c : {m_cmbCognome, m_cmbNome, m_cmbIntero, m_cmbColClasse})
    connect(c, &QComboBox::activated, this, [this] {
      m_colonne.cognome = m_cmbCognome->currentData().toInt();
      m_colonne.nome = m_cmbNome->currentData().toInt();
      m_colonne.intero = m_cmbIntero->currentData().toInt();
      m_colonne.classe = m_cmbColClasse->currentData().toInt();
      riempiColonne();
    });
  connect(m_unione, &QButtonGroup::idToggled, this, [this](int, bool acceso) {
    if (acceso) esamina();
  });
  connect(m_chkMaiuscole, &QCheckBox::toggled, this, &FrmImporta::esamina);
  connect(m_cmdImporta, &QPushButton::clicked, this, &FrmImporta::importa);
  connect(cmdAnnulla, &QPushButton::clicked, this, &QDialog::reject);
  mostraElenco({});
  m_cmdIncolla->setFocus();
}

FrmImporta::~FrmImporta() {
  if (m_conversione && m_conversione->inCorso()) QApplication::restoreOverrideCursor();
}

void FrmImporta::incolla(const QString &testo) {
  if (testo.trimmed().isEmpty()) {
    m_messaggi.mostra(u"Gli appunti sono vuoti: copia prima i nomi da un foglio di calcolo."_s,
                      TitoloMessaggi(), Messaggi::Icona::Informazione);
    return;
  }
  mostraElenco(LeggiIncollato(testo));
}

void FrmImporta::apri(const QString &percorso) {
  if (!DaConvertire(percorso)) {
    mostraElenco(LeggiFileElenco(percorso));
    return;
  }
  if (!m_conversione) {
    m_conversione = new ConversioneFoglio(this);
    connect(m_conversione, &ConversioneFoglio::finita, this, [this](const ElencoLetto &e) {
      inAttesa(false);
      mostraElenco(e);
    });
  }
  inAttesa(true);
  m_lblOrigine->setText(u"Sto leggendo «%1» con LibreOffice…"_s.arg(QFileInfo(percorso).fileName()));
  m_conversione->avvia(percorso);
}

void FrmImporta::inAttesa(bool attesa) {
  m_cmdIncolla->setEnabled(!attesa);
  m_cmdApri->setEnabled(!attesa);
  m_cmdImporta->setEnabled(!attesa && m_anteprima.daAggiungere > 0);
  if (attesa)
    QApplication::setOverrideCursor(Qt::BusyCursor);
  else
    QApplication::restoreOverrideCursor();
}

void FrmImporta::mostraElenco(const ElencoLetto &elenco) {
  if (!elenco.letto()) {
    m_messaggi.mostra(elenco.errore, TitoloMessaggi(), Messaggi::Icona::Avviso);
    if (m_elenco.righe.isEmpty()) m_lblOrigine->setText(elenco.errore);
    return;
  }
  m_elenco = elenco;
  m_colonne = IndovinaColonne(m_elenco);
  if (!m_elenco.righe.isEmpty())
    m_lblOrigine->setText(
        u"%1 (%2)."_s.arg(Plurale(int(m_elenco.righe.size()), u"1 riga"_s, u"%1 righe"_s), m_elenco.formato));
  riempiColonne();
}

// The column choices as m_colonne says, each column named by its header or
// its first value; then the preview again.
void FrmImporta::riempiColonne() {
  qsizetype larghezza = 0;
  for (const QStringList &r : m_elenco.righe) larghezza = std::max(larghezza, r.size());
  const QStringList primi = m_elenco.righe.value(0);
  const int scelte[4] = {m_colonne.cognome, m_colonne.nome, m_colonne.intero, m_colonne.classe};
  QComboBox *caselle[4] = {m_cmbCognome, m_cmbNome, m_cmbIntero, m_cmbColClasse};
  for (int k = 0; k < 4; ++k) {
    QComboBox *c = caselle[k];
    const QSignalBlocker zitto(c);
    c->clear();
    c->addItem(u"(nessuna)"_s, -1);
    for (int i = 0; i < larghezza; ++i) {
      QString nome = primi.value(i).trimmed();
      if (nome.size() > 24) nome = nome.left(23) + u'…';
      c->addItem(nome.isEmpty() ? u"Colonna %1"_s.arg(i + 1) : u"Colonna %1: %2"_s.arg(i + 1).arg(nome), i);
    }
    c->setCurrentIndex(std::max(0, c->findData(scelte[k])));
  }
  {
    const QSignalBlocker zitto(m_chkIntestazione);
    m_chkIntestazione->setChecked(m_colonne.intestazione);
  }
  // A whole-name column takes the place of surname and first name.
  const bool separati = m_colonne.intero < 0;
  m_cmbCognome->setEnabled(separati);
  m_cmbNome->setEnabled(separati);
  for (QAbstractButton *b : m_unione->buttons()) b->setEnabled(separati);
  esamina();
}

SceltaImport FrmImporta::scelta() const {
  SceltaImport s;
  s.colonne = m_colonne;
  s.unione = Unione(m_unione->checkedId());
  s.classe = m_cmbClasse->currentText();
  s.maiuscole = m_chkMaiuscole->isChecked();
  return s;
}

void FrmImporta::esamina() {
  m_anteprima = Esamina(m_elenco, scelta(), m_presenti);
  m_tblAnteprima->setUpdatesEnabled(false);
  m_tblAnteprima->setRowCount(int(m_anteprima.righe.size()));
  const QColor grigio(96, 96, 96);
  for (int r = 0; r < m_anteprima.righe.size(); ++r) {
    const RigaEsaminata &e = m_anteprima.righe.at(r);
    QString esito;
    switch (e.esame) {
      case Esame::DaAggiungere:
        esito = u"Da aggiungere"_s;
        break;
      case Esame::GiaPresente:
        esito = u"Saltata: "_s + e.motivo;
        break;
      case Esame::Rifiutata:
        esito = u"Rifiutata: "_s + e.motivo;
        break;
    }
    const QString testi[4] = {QString::number(e.riga), e.nome, e.classe, esito};
    for (int c = 0; c < 4; ++c) {
      auto *cella = new QTableWidgetItem(testi[c]);
      if (e.esame == Esame::Rifiutata)
        cella->setForeground(aspetto::kRosso);
      else if (e.esame == Esame::GiaPresente)
        cella->setForeground(grigio);
      m_tblAnteprima->setItem(r, c, cella);
    }
  }
  if (!m_anteprima.righe.isEmpty()) {
    m_tblAnteprima->resizeColumnToContents(0);
    m_tblAnteprima->setColumnWidth(1, std::max(m_tblAnteprima->columnWidth(1), 220));
  }
  m_tblAnteprima->setUpdatesEnabled(true);
  const QString conteggi =
      m_elenco.righe.isEmpty()
          ? u"Nessun elenco."_s
          : u"%1 · %2 · %3"_s.arg(
                Plurale(m_anteprima.daAggiungere, u"1 da aggiungere"_s, u"%1 da aggiungere"_s),
                Plurale(m_anteprima.giaPresenti, u"1 già presente"_s, u"%1 già presenti"_s),
                Plurale(m_anteprima.rifiutate, u"1 rifiutata"_s, u"%1 rifiutate"_s));
  m_lblConteggi->setText(conteggi);
  m_lblConteggi->setAccessibleDescription(conteggi);
  m_cmdImporta->setEnabled(m_anteprima.daAggiungere > 0 && !(m_conversione && m_conversione->inCorso()));
}

void FrmImporta::importa() {
  if (m_anteprima.daAggiungere == 0) return;
  int aggiunti = 0;
  const Esito e = m_destinazione->scrivi(m_anteprima.gruppi, aggiunti);
  if (!e) {
    const auto guasto = m_destinazione->prendiMessaggio();
    m_messaggi.mostra(guasto ? *guasto : e.messaggio, TitoloMessaggi(), Messaggi::Icona::Avviso);
    // The register may have changed meanwhile: judge the list again.
    m_presenti = m_destinazione->presenti();
    esamina();
    return;
  }
  m_aggiunti = aggiunti;
  m_messaggi.mostra(Plurale(aggiunti, u"Aggiunto 1 alunno."_s, u"Aggiunti %1 alunni."_s), TitoloMessaggi(),
                    Messaggi::Icona::Informazione);
  accept();
}
