#pragma once

#include <QDialog>
#include <functional>
#include <memory>

#include "registro/importaclasse.h"

class ConversioneFoglio;
class Messaggi;
class QButtonGroup;
class QCheckBox;
class QComboBox;
class QLabel;
class QPushButton;
class QTableWidget;

// A class list in one go: the teacher pastes rows copied from a spreadsheet or
// opens a file, chooses the class and the columns, sees every row judged (to
// add, already there, refused and why) and imports them all at once. Nothing
// is written before "Importa", nor on "Annulla".
class FrmImporta : public QDialog {
  Q_OBJECT
 public:
  // Asks which file to open: the chosen path, or empty.
  using SceltaApertura = std::function<QString(QWidget *)>;

  FrmImporta(std::unique_ptr<DestinazioneElenco> destinazione, Messaggi &messaggi, const QString &classe,
             QWidget *genitore = nullptr);
  ~FrmImporta() override;

  void impostaSceltaApertura(SceltaApertura s) { m_sceltaApertura = std::move(s); }

  // What "Incolla" and "Apri file…" do with the clipboard's text and the chosen file.
  void incolla(const QString &testo);
  void apri(const QString &percorso);

  [[nodiscard]] const Anteprima &anteprima() const { return m_anteprima; }
  [[nodiscard]] int aggiunti() const { return m_aggiunti; }

 private:
  void mostraElenco(const ElencoLetto &elenco);
  void riempiColonne();
  void esamina();
  void importa();
  void inAttesa(bool attesa);
  [[nodiscard]] SceltaImport scelta() const;

  std::unique_ptr<DestinazioneElenco> m_destinazione;
  Messaggi &m_messaggi;
  SceltaApertura m_sceltaApertura;
  QList<ClassePresente> m_presenti;
  ElencoLetto m_elenco;
  ColonneElenco m_colonne;
  Anteprima m_anteprima;
  int m_aggiunti = 0;
  ConversioneFoglio *m_conversione = nullptr;

  QPushButton *m_cmdIncolla = nullptr;
  QPushButton *m_cmdApri = nullptr;
  QLabel *m_lblOrigine = nullptr;
  QComboBox *m_cmbClasse = nullptr;
  QCheckBox *m_chkIntestazione = nullptr;
  QComboBox *m_cmbCognome = nullptr;
  QComboBox *m_cmbNome = nullptr;
  QComboBox *m_cmbIntero = nullptr;
  QComboBox *m_cmbColClasse = nullptr;
  QButtonGroup *m_unione = nullptr;
  QCheckBox *m_chkMaiuscole = nullptr;
  QTableWidget *m_tblAnteprima = nullptr;
  QLabel *m_lblConteggi = nullptr;
  QPushButton *m_cmdImporta = nullptr;
};
