#include "platform/stampantepigra.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>

using namespace Qt::StringLiterals;

namespace {

// Stands in when the print module can't be loaded: every printout fails with
// the reason, the program goes on.
class StampanteAssente final : public Stampante {
 public:
  explicit StampanteAssente(QString motivo) : m_motivo(std::move(motivo)) {}
  QStringList stampanti() override { return {kSalvaComePdf}; }
  QString predefinita() override { return kSalvaComePdf; }
  QString corrente() override { return kSalvaComePdf; }
  bool scegli(const QString &nome) override { return nome == kSalvaComePdf; }
  QStringList fonts() override { return {u"Courier New"_s}; }
  void impostaTitolo(const QString &) override {}
  void impostaFont(const QString &) override {}
  void impostaDimensione(double) override {}
  void impostaGrassetto(bool) override {}
  void impostaX(double) override {}
  void impostaY(double) override {}
  double x() const override { return 0; }
  double y() const override { return 0; }
  void stampaRiga(const QString &) override {}
  void stampaImmagine(const QImage &, double, double, double, double) override {}
  bool fineDocumento() override { return false; }
  void annullaDocumento() override {}
  QString errore() const override { return m_motivo; }

 private:
  QString m_motivo;
};

QStringList CartelleModulo() {
  QStringList c;
  c << QCoreApplication::applicationDirPath();
  c << QCoreApplication::applicationDirPath() + u'/' + QStringLiteral(VORNEL_CARTELLA_MODULI_RELATIVA);
  c << QStringLiteral(VORNEL_CARTELLA_MODULI_INSTALLATI);
  c << QStringLiteral(VORNEL_CARTELLA_MODULI_COMPILATI);
  return c;
}

}  // namespace

StampantePigra::StampantePigra() = default;

StampantePigra::~StampantePigra() {
  // The back end's code lives in the module: destroy it before the module goes.
  m_vera.reset();
}

void StampantePigra::impostaSceltaFilePdf(SceltaFilePdf scelta) { m_scelta = std::move(scelta); }

Stampante &StampantePigra::vera() const {
  if (m_vera) return *m_vera;
  QString motivo;
  for (const QString &cartella : CartelleModulo()) {
    const QString percorso = QDir(cartella).filePath(u"libvornel_stampa.so"_s);
    if (!QFile::exists(percorso)) continue;
    m_modulo.setFileName(percorso);
    if (auto crea = reinterpret_cast<CreaStampante>(m_modulo.resolve(kSimboloCreaStampante))) {
      // The back end asks through this object, so a chooser set later still counts.
      const std::function<QString(const QString &)> chiedi = [this](const QString &suggerito) {
        return m_scelta ? m_scelta(suggerito) : suggerito;
      };
      m_vera.reset(crea(&chiedi));
      if (m_vera) return *m_vera;
    }
    motivo = m_modulo.errorString();
  }
  if (motivo.isEmpty()) motivo = u"il modulo libvornel_stampa.so non è installato"_s;
  m_vera = std::make_unique<StampanteAssente>(u"Impossibile stampare: "_s + motivo + u'.');
  return *m_vera;
}
