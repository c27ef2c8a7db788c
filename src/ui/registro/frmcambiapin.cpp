#include "ui/registro/frmcambiapin.h"

#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "registro/portadocente.h"
#include "ui/common/aspetto.h"
#include "ui/registro/frmporta.h"

using namespace Qt::StringLiterals;

FrmCambiaPin::FrmCambiaPin(PortaDocente &porta, QWidget *genitore) : QDialog(genitore), m_porta(porta) {
  setObjectName(u"FrmCambiaPin"_s);
  setWindowTitle(u"Cambia PIN"_s);
  aspetto::colora(this, aspetto::kSfondo);
  setFont(aspetto::carattere(u"Arial"_s, 11, true));

  auto *spiegazione = new QLabel(
      u"Scrivi il PIN che usi adesso, poi il nuovo PIN (almeno %1 cifre) due volte."_s.arg(
          PortaDocente::kLunghezzaMinima),
      this);
  spiegazione->setObjectName(u"lblSpiegazione"_s);
  spiegazione->setAccessibleName(spiegazione->text());
  spiegazione->setWordWrap(true);
  spiegazione->setMinimumWidth(420);

  m_txtVecchio = CasellaPin(u"txtVecchio"_s, u"PIN attuale"_s, this);
  m_txtNuovo = CasellaPin(u"txtNuovo"_s, u"Nuovo PIN"_s, this);
  m_txtConferma = CasellaPin(u"txtConferma"_s, u"Ripeti il nuovo PIN"_s, this);
  auto *modulo = new QFormLayout;
  modulo->addRow(u"PIN attuale:"_s, m_txtVecchio);
  modulo->addRow(u"Nuovo PIN:"_s, m_txtNuovo);
  modulo->addRow(u"Ripeti il nuovo PIN:"_s, m_txtConferma);

  m_lblMessaggio = new QLabel(this);
  m_lblMessaggio->setObjectName(u"lblMessaggio"_s);
  m_lblMessaggio->setAccessibleName(u"Messaggio"_s);
  m_lblMessaggio->setWordWrap(true);
  aspetto::coloraTesto(m_lblMessaggio, aspetto::kRosso);

  auto *cmdCambia = new QPushButton(u"Cambia il PIN"_s, this);
  cmdCambia->setObjectName(u"cmdCambia"_s);
  cmdCambia->setAccessibleName(cmdCambia->text());
  cmdCambia->setDefault(true);
  auto *cmdAnnulla = new QPushButton(u"Annulla"_s, this);
  cmdAnnulla->setObjectName(u"cmdAnnulla"_s);
  cmdAnnulla->setAccessibleName(u"Annulla"_s);
  auto *pulsanti = new QHBoxLayout;
  pulsanti->addStretch();
  pulsanti->addWidget(cmdCambia);
  pulsanti->addWidget(cmdAnnulla);

  auto *l = new QVBoxLayout(this);
  l->addWidget(spiegazione);
  l->addLayout(modulo);
  l->addWidget(m_lblMessaggio);
  l->addLayout(pulsanti);
  connect(cmdCambia, &QPushButton::clicked, this, &FrmCambiaPin::cambia);
  connect(cmdAnnulla, &QPushButton::clicked, this, &QDialog::reject);
  m_txtVecchio->setFocus();
}

void FrmCambiaPin::avviso(const QString &testo, QLineEdit *dove) {
  m_lblMessaggio->setText(testo);
  m_lblMessaggio->setAccessibleDescription(testo);
  dove->setFocus();
}

void FrmCambiaPin::cambia() {
  const QString vecchio = m_txtVecchio->text(), nuovo = m_txtNuovo->text(), conferma = m_txtConferma->text();
  m_txtVecchio->clear();
  m_txtNuovo->clear();
  m_txtConferma->clear();
  // The new PIN is looked at first: a PIN in use is only tried (and counted)
  // when the change could be made.
  if (vecchio.isEmpty()) return avviso(u"Scrivi il PIN che usi adesso."_s, m_txtVecchio);
  if (nuovo != conferma) return avviso(u"I due nuovi PIN non sono uguali: scrivili di nuovo."_s, m_txtVecchio);
  if (const auto errore = PortaDocente::ErrorePin(nuovo)) return avviso(*errore, m_txtVecchio);
  if (nuovo == vecchio) return avviso(u"Il nuovo PIN è uguale a quello che usi: scegline un altro."_s, m_txtVecchio);
  const Esito e = m_porta.cambiaPin(vecchio, nuovo);
  if (!e) {
    QString testo = e.messaggio;
    if (testo.startsWith(u"PIN sbagliato."_s)) testo.replace(0, 14, u"Il PIN attuale è sbagliato."_s);
    return avviso(testo, m_txtVecchio);
  }
  accept();
}
