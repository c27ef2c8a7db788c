#include "ui/info/frmautore.h"

#include "ui/common/aspetto.h"

#include <QLabel>
#include <QPushButton>

using namespace aspetto;

const QString frmAutore::kSito = QStringLiteral("www.vornel.example.org");
const QString frmAutore::kEmail = QStringLiteral("info@vornel.example.org");

namespace {

QLabel *Riga(QWidget *genitore, const QString &nome, const QString &testo, const QRect &r, bool indirizzo) {
  auto *l = etichetta(genitore, nome, testo, r);
  l->setFont(carattere(QStringLiteral("Arial"), 18, indirizzo));
  if (indirizzo) coloraTesto(l, kBlu);
  // Plain text: the addresses are there to be read and copied by hand, not followed.
  l->setTextFormat(Qt::PlainText);
  l->setTextInteractionFlags(Qt::NoTextInteraction);
  return l;
}

}  // namespace

frmAutore::frmAutore(QWidget *genitore) : QDialog(genitore) {
  setObjectName(QStringLiteral("frmAutore"));
  setWindowTitle(QStringLiteral("Autore"));
  setFixedSize(px(6975), px(4395));
  colora(this, kSfondo);

  Riga(this, QStringLiteral("Label1"), QStringLiteral("Sito dell'autore:"), twips(540, 465, 4320, 435), false);
  Riga(this, QStringLiteral("Label2"), kSito, twips(510, 945, 6345, 510), true);
  Riga(this, QStringLiteral("Label3"), QStringLiteral("Email:"), twips(570, 1860, 5911, 435), false);
  Riga(this, QStringLiteral("Label4"), kEmail, twips(525, 2310, 5820, 510), true);

  auto *chiudi = new QPushButton(QStringLiteral("C h i u d i"), this);
  chiudi->setObjectName(QStringLiteral("Command1"));
  chiudi->setAccessibleName(QStringLiteral("Chiudi"));
  chiudi->setGeometry(twips(1830, 3735, 2700, 525));
  chiudi->setFont(carattere(QStringLiteral("Arial"), 12));
  colora(chiudi, kFuoco);
  chiudi->setDefault(true);
  chiudi->setFocus();
  connect(chiudi, &QPushButton::clicked, this, &QDialog::accept);
}
