#include "platform/stampante.h"

using namespace Qt::StringLiterals;

QString CercaFontCourier(const QStringList &fonts) {
  for (const QString &f : fonts) {
    if (f == u"Courier New"_s || f == u"Courier"_s) return f;
  }
  return {};
}

bool StampanteRegistrata::scegli(const QString &nome) {
  chiamate << u"scegli "_s + nome;
  if (!elenco.contains(nome)) return false;
  nomeCorrente = nome;
  return true;
}

void StampanteRegistrata::impostaTitolo(const QString &titolo) {
  chiamate << u"titolo "_s + titolo;
  inCorso.titolo = titolo;
}

void StampanteRegistrata::impostaFont(const QString &nome) {
  chiamate << u"font "_s + nome;
  m_font = nome;
}

void StampanteRegistrata::impostaDimensione(double punti) {
  chiamate << u"dimensione "_s + QString::number(punti);
  m_dimensione = punti;
}

void StampanteRegistrata::impostaGrassetto(bool grassetto) {
  chiamate << (grassetto ? QStringLiteral("grassetto 1") : QStringLiteral("grassetto 0"));
  m_grassetto = grassetto;
}

void StampanteRegistrata::impostaX(double twips) {
  chiamate << u"x "_s + QString::number(twips);
  m_x = twips;
}

void StampanteRegistrata::impostaY(double twips) {
  chiamate << u"y "_s + QString::number(twips);
  m_y = twips;
}

void StampanteRegistrata::stampaRiga(const QString &testo) {
  chiamate << u"riga "_s + testo;
  if (!guasto.isEmpty() && (guastoDallaRiga == 0 || inCorso.righe.size() + 1 >= guastoDallaRiga)) {
    m_fallito = true;
    m_errore = guasto;
  }
  inCorso.righe.push_back({testo, m_x, m_y, m_font, m_dimensione, m_grassetto});
  m_x = 0;
  m_y += altezzaRiga();
}

void StampanteRegistrata::stampaImmagine(const QImage &immagine, double x, double y, double larghezza,
                                         double altezza) {
  chiamate << QStringLiteral("immagine %1x%2 a %3,%4 di %5x%6")
                  .arg(immagine.width())
                  .arg(immagine.height())
                  .arg(x)
                  .arg(y)
                  .arg(larghezza)
                  .arg(altezza);
  if (!guasto.isEmpty() && guastoDallaRiga == 0) {
    m_fallito = true;
    m_errore = guasto;
  }
  inCorso.immagini.push_back({immagine.size(), x, y, larghezza, altezza, immagine});
}

bool StampanteRegistrata::fineDocumento() {
  chiamate << QStringLiteral("fine");
  const bool ok = !m_fallito && guasto.isEmpty();
  if (!ok && m_errore.isEmpty()) m_errore = guasto;
  if (ok) {
    documenti.push_back(inCorso);
    m_errore.clear();
  }
  inCorso = {};
  m_fallito = false;
  m_x = m_y = 0;
  return ok;
}

void StampanteRegistrata::annullaDocumento() {
  chiamate << QStringLiteral("annulla");
  inCorso = {};
  m_fallito = false;
  m_x = m_y = 0;
}
