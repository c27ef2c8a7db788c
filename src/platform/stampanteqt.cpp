#include "platform/stampanteqt.h"

// Placeholder until the printing back end lands.
struct StampanteQt::Dati {
  double x = 0, y = 0;
};

StampanteQt::StampanteQt() : d(std::make_unique<Dati>()) {}
StampanteQt::~StampanteQt() = default;
QStringList StampanteQt::stampanti() { return {kSalvaComePdf}; }
QString StampanteQt::predefinita() { return kSalvaComePdf; }
QString StampanteQt::corrente() { return kSalvaComePdf; }
bool StampanteQt::scegli(const QString &) { return false; }
QStringList StampanteQt::fonts() { return {}; }
void StampanteQt::impostaTitolo(const QString &) {}
void StampanteQt::impostaFont(const QString &) {}
void StampanteQt::impostaDimensione(double) {}
void StampanteQt::impostaGrassetto(bool) {}
void StampanteQt::impostaX(double twips) { d->x = twips; }
void StampanteQt::impostaY(double twips) { d->y = twips; }
double StampanteQt::x() const { return d->x; }
double StampanteQt::y() const { return d->y; }
void StampanteQt::stampaRiga(const QString &) {}
void StampanteQt::stampaImmagine(const QImage &, double, double, double, double) {}
bool StampanteQt::fineDocumento() { return false; }
void StampanteQt::annullaDocumento() {}
QString StampanteQt::errore() const { return {}; }
