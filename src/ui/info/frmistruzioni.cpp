#include "ui/info/frmistruzioni.h"

#include "ui/common/aspetto.h"

#include <QHBoxLayout>
#include <QPushButton>
#include <QTextBrowser>
#include <QVBoxLayout>

using namespace Qt::StringLiterals;
using namespace aspetto;

QString frmIstruzioni::Testo() {
  // The pupils' part in large type, the teachers' part in ordinary type. Every
  // key named here is one the exercise window answers to as said.
  return uR"(
<h1 style="font-size:22pt">Per gli alunni</h1>
<div style="font-size:18pt">
<p><b>Come si gioca.</b> Trasforma le due misure nell'unità richiesta, sommale e scrivi il risultato.
Per esempio: <b>12 h + 7 da = 1.270 u</b>.</p>
<p><b>Scrivere il numero.</b> Premi le cifre sui tasti dello schermo o sulla tastiera.
La virgola si scrive con il tasto <b>,</b> della tastiera grande: il tasto del punto del tastierino numerico
cancella, come <b>Cancella</b>. I puntini delle migliaia arrivano da soli. Poi premi <b>Verifica</b>.</p>
<p><b>Scegliere il simbolo.</b> Quando il numero c'è già (per esempio <b>12 h + 7 da = 1.270 ?</b>),
premi il pulsante del simbolo giusto e poi <b>Verifica</b>.</p>
<p><b>Se sbagli.</b> Il programma scrive <b>Errato</b> e, sotto, una frase che ti dice dove guardare
(per esempio: <i>Nel tuo numero manca uno zero segnaposto.</i>), senza dirti la risposta.
Poi ti chiede <b>Ti aiuto ?</b><br>
<b>NO</b>: riprovi da solo.<br>
<b>SI</b>: il programma ti mostra la risposta giusta e la tabella delle unità: ogni misura e la somma
nelle loro colonne, la colonna dell'unità richiesta incorniciata.<br>
Dopo tre NO il programma dice <b>Intervengo io</b>: premi <b>OK</b> e ti mostra la risposta e la tabella.</p>
<p><b>I tasti.</b><br>
<b>0</b>–<b>9</b> scrivono il numero; dopo una cifra da 1 a 9 il riquadro passa su Verifica, ma puoi
continuare a scrivere;<br>
<b>,</b> (tastiera grande) scrive la virgola;<br>
<b>C</b>, <b>Backspace</b>, <b>Canc</b> e il punto del tastierino numerico cancellano l'ultimo carattere;<br>
<b>V</b>, <b>N</b>, <b>E</b> portano il riquadro su Verifica, Avanti, Esco (o Esci): poi <b>Invio</b> lo preme;<br>
con i simboli, <b>0</b>, <b>1</b>, <b>2</b>, <b>3</b> scelgono il simbolo (il primo è 0) e portano su Verifica;<br>
a <b>Ti aiuto ?</b>, <b>S</b> (o <b>1</b>) porta su SI e <b>N</b> (o <b>2</b>) su NO: poi <b>Invio</b>;<br>
<b>spazio</b> passa al pulsante seguente, <b>Invio</b> preme il pulsante su cui ti trovi;<br>
<b>F5</b> legge ad alta voce l'operazione;<br>
nella finestra iniziale <b>1</b>, <b>2</b>, <b>3</b> portano sul pulsante;<br>
<b>F1</b> apre queste istruzioni.</p>
</div>
<h1 style="font-size:16pt">Per gli insegnanti</h1>
<div style="font-size:12pt">
<p><b>Livelli.</b> Dal menu <b>Livello</b> della finestra iniziale si sceglie una delle dodici famiglie di unità
(sistema decimale e sistema metrico) e se i valori hanno una o due cifre. La scelta vale subito e resta
per le volte successive. Un clic con il tasto destro sul titolo della finestra iniziale passa alle famiglie
1, 2 e 3; un clic su <i>Valori di 1 cifra</i> cambia le cifre.</p>
<p><b>L'esercizio.</b> Si sceglie che cosa calcolare (il numero, il simbolo o tutti e due), l'ordine dei simboli
e si preme <b>Vai</b>: venti operazioni, con i tempi e le risposte esatte ed errate. Dopo ogni errore l'alunno
legge una frase che nomina lo sbaglio probabile (le misure sommate senza trasformarle, una sola trasformata,
la virgola spostata, uno zero segnaposto che manca o avanza, un errore nella somma, l'unità troppo grande o
troppo piccola). Alla fine si stampano il resoconto dell'esercizio e l'attestato di merito con il nome
dell'alunno.</p>
<p><b>Il registro.</b> Dal menu <b>Registro</b> (Alt+R), nella pagina <i>Classi e alunni</i>, si creano le classi
e i loro alunni. Prima di <b>Vai</b> l'alunno sceglie la classe e il proprio nome con <b>Alunno</b> (Alt+U, senza
PIN): ogni esercizio e ogni risposta vanno nel registro con il suo nome. Il registro mostra la classe (per
ogni alunno e famiglia l'ultima valutazione e se sale o scende), gli esercizi di un alunno con l'errore più
frequente e il grafico delle risposte esatte, e le risposte di un esercizio; la classe e la pagina
dell'alunno si stampano, e ogni vista ha il suo file CSV per il foglio di calcolo. Il registro resta in questo
computer, nel file <i>~/.local/share/vornel/registro.sqlite</i>.</p>
<p><b>Il PIN.</b> Il registro e le opzioni si aprono con il PIN dell'insegnante (almeno 4 cifre), scelto alla
prima apertura e cambiato con <b>Cambia PIN</b> nella finestra del registro. Dopo cinque PIN sbagliati di
seguito bisogna aspettare 30 secondi, poi ogni volta il doppio (al massimo 15 minuti). Una volta scritto,
il PIN resta valido finché il registro è aperto e per due minuti dopo; l'inizio di un esercizio lo chiude
subito. <b>PIN dimenticato:</b> l'amministratore del computer, con Vornel chiuso, scrive nel terminale
<i>sqlite3 ~/.local/share/vornel/registro.sqlite "DELETE FROM porta;"</i> (i dati degli alunni restano);
alla prossima apertura il registro chiede un PIN nuovo.</p>
<p><b>Opzioni e piano dell'alunno.</b> Il menu <b>Opzioni</b> (con il PIN) offre: la tabella delle unità
sempre a fianco dell'operazione, i tempi nascosti, i caratteri che crescono con la finestra (per la LIM),
l'alto contrasto e la lettura ad alta voce di ogni operazione e di ogni giudizio. Senza alunno scelto valgono
per questo computer; con un alunno scelto diventano il suo piano, che vale ogni volta che sceglie il suo nome.
<b>Usa le opzioni del computer</b> toglie il piano.</p>
<p><b>Su misura.</b> Con un alunno scelto, la voce di menu <b>Su misura</b> prepara le venti operazioni dalla
storia dell'alunno, nella famiglia in uso: i casi che sbaglia tornano più spesso, uno sbaglio ripetuto due
volte nelle ultime dieci operazioni viene cercato con operazioni fatte apposta, i casi che sa tornano di rado,
e due operazioni dello stesso caso non vengono mai una dopo l'altra. Un caso è imparato quando l'alunno lo ha
fatto giusto al primo tentativo in due giorni diversi dopo l'ultimo errore; la pagina dell'alunno nel registro
mostra, per famiglia, i casi imparati, quelli in esercizio e quelli nuovi, e gli sbagli ripetuti. Senza un
alunno scelto la voce dice perché non si può usare (Alt+M). Per il resto è l'esercizio di sempre:
stessi conteggi, resoconto e attestato.</p>
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
