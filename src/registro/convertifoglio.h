#pragma once

#include <QObject>
#include <QProcess>
#include <QString>
#include <QTimer>
#include <memory>

#include "registro/importaclasse.h"

class QTemporaryDir;

// Reads a .xlsx or .ods class list by having LibreOffice turn its first sheet
// into a UTF-8 CSV, in a process of its own with a profile of its own, so the
// window's events go on meanwhile and a LibreOffice the teacher has open is
// not disturbed. The result comes through finita().
class ConversioneFoglio : public QObject {
  Q_OBJECT
 public:
  explicit ConversioneFoglio(QObject *genitore = nullptr);
  ~ConversioneFoglio() override;

  // LibreOffice's program, or empty when it is not installed.
  [[nodiscard]] static QString Programma();
  // What to install where it is missing.
  [[nodiscard]] static QString MessaggioAssente();

  // Starts reading the file; a conversion still running is given up.
  void avvia(const QString &percorso, int limiteMs = 60000);
  void interrompi();
  [[nodiscard]] bool inCorso() const { return m_processo != nullptr; }

 Q_SIGNALS:
  void finita(const ElencoLetto &elenco);

 private:
  void concludi(bool ok);
  void termina(ElencoLetto elenco);

  QProcess *m_processo = nullptr;
  std::unique_ptr<QTemporaryDir> m_cartella;
  QString m_percorso;
  QTimer m_limite;
};
