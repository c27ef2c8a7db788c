#include "ui/registro/frmalunno.h"

#include <QComboBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>

#include "registro/registro.h"
#include "registro/riflesso.h"
#include "ui/common/aspetto.h"

using namespace Qt::StringLiterals;

namespace {

QLabel *Titolo(const QString &nome, const QString &testo, QWidget *genitore) {
  auto *l = new QLabel(testo, genitore);
  l->setObjectName(nome);
  l->setAccessibleName(testo);
  l->setFont(aspetto::carattere(u"Arial"_s, 14, true));
  return l;
}

QPushButton *Pulsante(const QString &nome, const QString &testo, QWidget *genitore) {
  auto *p = new QPushButton(testo, genitore);
  p->setObjectName(nome);
  p->setAccessibleName(testo);
  p->setFont(aspetto::carattere(u"Arial"_s, 12, true));
  p->setMinimumHeight(40);
  return p;
}

}  // namespace

FrmAlunno::FrmAlunno(Registro &registro, const AlunnoScelto &attuale, QWidget *genitore)
    : QDialog(genitore), m_registro(registro), m_attuale(attuale) {
  setObjectName(u"FrmAlunno"_s);
  setWindowTitle(u"Chi sei?"_s);
  aspetto::colora(this, aspetto::kSfondo);
  setFont(aspetto::carattere(u"Arial"_s, 12, true));

  auto *lblClasse = Titolo(u"lblClasse"_s, u"La tua classe"_s, this);
  m_cmbClasse = new QComboBox(this);
  m_cmbClasse->setObjectName(u"cmbClasse"_s);
  m_cmbClasse->setAccessibleName(u"La tua classe"_s);
  m_cmbClasse->setFont(aspetto::carattere(u"Arial"_s, 14, true));
  lblClasse->setBuddy(m_cmbClasse);

  auto *lblNome = Titolo(u"lblNome"_s, u"Il tuo nome"_s, this);
  m_lstAlunni = new QListWidget(this);
  m_lstAlunni->setObjectName(u"lstAlunni"_s);
  m_lstAlunni->setAccessibleName(u"Il tuo nome"_s);
  m_lstAlunni->setFont(aspetto::carattere(u"Arial"_s, 14, true));
  m_lstAlunni->setMinimumSize(360, 260);
  lblNome->setBuddy(m_lstAlunni);

  m_lblAvviso = new QLabel(this);
  m_lblAvviso->setObjectName(u"lblAvviso"_s);
  m_lblAvviso->setAccessibleName(u"Avviso"_s);
  m_lblAvviso->setWordWrap(true);
  aspetto::coloraTesto(m_lblAvviso, aspetto::kRosso);

  m_cmdScegli = Pulsante(u"cmdScegli"_s, u"Sono io"_s, this);
  auto *cmdSenzaNome = Pulsante(u"cmdSenzaNome"_s, u"Senza nome"_s, this);
  auto *cmdAnnulla = Pulsante(u"cmdAnnulla"_s, u"Annulla"_s, this);
  m_cmdScegli->setDefault(true);

  auto *pulsanti = new QHBoxLayout;
  pulsanti->addWidget(m_cmdScegli);
  pulsanti->addWidget(cmdSenzaNome);
  pulsanti->addWidget(cmdAnnulla);
  auto *l = new QVBoxLayout(this);
  l->addWidget(lblClasse);
  l->addWidget(m_cmbClasse);
  l->addWidget(lblNome);
  l->addWidget(m_lstAlunni, 1);
  l->addWidget(m_lblAvviso);
  l->addLayout(pulsanti);

  // With a school's server the classes and pupils are the server's, as this
  // computer last had them (so the list is there when the server is away).
  const bool server = m_registro.uscita();
  for (const Classe &c : server ? Riflesso::Classi(m_registro) : m_registro.classi())
    m_cmbClasse->addItem(c.nome, c.id);
  if (m_cmbClasse->count() == 0)
    m_lblAvviso->setText(server ? u"Le classi non sono ancora arrivate dal server della scuola: "
                                  u"chiedi all'insegnante."_s
                                : u"Nel registro non ci sono ancora classi: chiedi all'insegnante."_s);
  else if (const int i = m_cmbClasse->findData(m_attuale.classe); i >= 0)
    m_cmbClasse->setCurrentIndex(i);
  riempiAlunni();

  connect(m_cmbClasse, &QComboBox::currentIndexChanged, this, &FrmAlunno::riempiAlunni);
  connect(m_lstAlunni, &QListWidget::itemActivated, this, &FrmAlunno::scegli);
  connect(m_lstAlunni, &QListWidget::currentRowChanged, this,
          [this](int r) { m_cmdScegli->setEnabled(r >= 0); });
  connect(m_cmdScegli, &QPushButton::clicked, this, &FrmAlunno::scegli);
  connect(cmdSenzaNome, &QPushButton::clicked, this, &FrmAlunno::senzaNome);
  connect(cmdAnnulla, &QPushButton::clicked, this, &QDialog::reject);
  m_lstAlunni->setFocus();
}

void FrmAlunno::riempiAlunni() {
  m_lstAlunni->clear();
  const qint64 classe = m_cmbClasse->currentData().toLongLong();
  if (classe != 0) {
    const auto alunni = m_registro.uscita() ? Riflesso::Alunni(m_registro, classe) : m_registro.alunni(classe);
    for (const Alunno &a : alunni) {
      auto *voce = new QListWidgetItem(a.nome, m_lstAlunni);
      voce->setData(Qt::UserRole, a.id);
      if (a.id == m_attuale.id) m_lstAlunni->setCurrentItem(voce);
    }
  }
  if (!m_lstAlunni->currentItem() && m_lstAlunni->count() > 0) m_lstAlunni->setCurrentRow(0);
  m_cmdScegli->setEnabled(m_lstAlunni->currentItem() != nullptr);
}

void FrmAlunno::scegli() {
  const QListWidgetItem *voce = m_lstAlunni->currentItem();
  if (!voce) return;
  AlunnoScelto a;
  a.id = voce->data(Qt::UserRole).toLongLong();
  a.classe = m_cmbClasse->currentData().toLongLong();
  a.nome = voce->text();
  a.nomeClasse = m_cmbClasse->currentText();
  m_scelta = a;
  accept();
}

void FrmAlunno::senzaNome() {
  m_scelta = AlunnoScelto{};
  accept();
}
