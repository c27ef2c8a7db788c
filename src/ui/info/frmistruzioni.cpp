#include "ui/info/frmistruzioni.h"

#include "ui/common/aspetto.h"

#include <QHBoxLayout>
#include <QPushButton>
#include <QTextBrowser>
#include <QVBoxLayout>

using namespace Qt::StringLiterals;
using namespace aspetto;

QString frmIstruzioni::Testo() {
  // The pupils' part in large type, the teachers' part in ordinary type.
  return uR"(
<h1 style="font-size:22pt">Per gli alunni</h1>
<div style="font-size:18pt">
<p><b>Come si gioca.</b> Somma i due numeri e scrivi il risultato nell'unità che ti viene chiesta.
Per esempio: 12 h + 7 da = ... u fa <b>1.270</b>.</p>
<p><b>Scrivere il numero.</b> Premi le cifre sulla tastiera dello schermo o della tastiera.
La virgola si scrive con il tasto <b>,</b> (virgola). I puntini delle migliaia arrivano da soli.
Poi premi <b>Verifica</b>.</p>
<p><b>Scegliere il simbolo.</b> Quando ti viene chiesto il simbolo, premi il pulsante dell'unità giusta
e poi <b>Verifica</b>.</p>
<p><b>Se sbagli.</b> Il programma scrive <b>Errato</b> e ti chiede <b>Ti aiuto ?</b><br>
<b>NO</b>: riprovi da solo.<br>
<b>SI</b>: il programma ti mostra la risposta giusta.<br>
Dopo tre NO il programma dice <b>Intervengo io</b> e ti mostra la risposta.</p>
<p><b>I tasti.</b><br>
<b>0</b>–<b>9</b> e <b>,</b> scrivono il numero; <b>C</b> o <b>Backspace</b> cancellano l'ultima cifra;<br>
<b>V</b> Verifica, <b>N</b> Avanti, <b>E</b> esci dall'esercizio;<br>
<b>F5</b> legge ad alta voce l'operazione;<br>
<b>spazio</b> passa al pulsante seguente, <b>Invio</b> lo preme;<br>
nella finestra iniziale <b>1</b>, <b>2</b>, <b>3</b> scelgono il pulsante;<br>
<b>F1</b> apre queste istruzioni.</p>
</div>
<h1 style="font-size:16pt">Per gli insegnanti</h1>
<div style="font-size:12pt">
<p><b>Livelli.</b> Dal menu <b>Livello</b> della finestra iniziale si sceglie una delle dodici famiglie di unità
(sistema decimale e sistema metrico) e se i valori hanno una o due cifre. La scelta vale subito e resta
per le volte successive. Un clic con il tasto destro sul titolo della finestra iniziale passa alle famiglie
1, 2 e 3; un clic su <i>Valori di 1 cifra</i> cambia le cifre.</p>
<p><b>L'esercizio.</b> Si sceglie che cosa calcolare (il numero, il simbolo o tutti e due), l'ordine dei simboli
e si preme <b>Vai</b>: venti operazioni, con i tempi e le risposte esatte ed errate. Alla fine si stampano
il resoconto dell'esercizio e l'attestato di merito con il nome dell'alunno.</p>
<p><b>Schede.</b> Dal menu <b>Stampa schede</b> si compongono schede di 10, 20 o 30 operazioni, nella versione
per gli alunni (con gli spazi da riempire) e in quella per i docenti (con i risultati).</p>
<p><b>Stampare senza stampante.</b> Con <b>Scegli la stampante</b> si sceglie dove stampare. L'ultima voce
dell'elenco, <b>Salva come PDF</b>, scrive la pagina in un file PDF (nella cartella dei documenti): se nel computer
non c'è una stampante, è la scelta già pronta.</p>
</div>)"_s;
}

frmIstruzioni::frmIstruzioni(QWidget *genitore) : QDialog(genitore) {
  setObjectName(u"frmIstruzioni"_s);
  setAttribute(Qt::WA_DeleteOnClose);
  setWindowTitle(u"Istruzioni"_s);
  colora(this, kSfondo);
  m_testo = new QTextBrowser(this);
  m_testo->setObjectName(u"txtIstruzioni"_s);
  m_testo->setAccessibleName(u"Istruzioni"_s);
  m_testo->setFont(carattere(u"Arial"_s, 12));
  m_testo->setOpenLinks(false);
  m_testo->setHtml(Testo());
  auto *chiudi = new QPushButton(u"Chiudi"_s, this);
  chiudi->setObjectName(u"cmdChiudi"_s);
  chiudi->setFont(carattere(u"Arial"_s, 12));
  colora(chiudi, kFuoco);
  connect(chiudi, &QPushButton::clicked, this, &QDialog::close);
  auto *colonna = new QVBoxLayout(this);
  colonna->addWidget(m_testo, 1);
  auto *basso = new QHBoxLayout;
  basso->addStretch();
  basso->addWidget(chiudi);
  colonna->addLayout(basso);
  resize(px(12000), px(9000));
  m_testo->setFocus();
}
