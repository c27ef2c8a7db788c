#pragma once

#include <QImage>
#include <QPointer>
#include <QWidget>
#include <functional>

#include "registro/consultazione.h"
#include "registro/portadocente.h"
#include "ui/registro/frminclasse.h"

struct Contesto;
class QComboBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QPushButton;
class QTabWidget;
class QTableWidget;
class PaginaComputer;

// Right answers out of operations over time, drawn with QPainter.
class GraficoEsatte : public QWidget {
  Q_OBJECT
 public:
  explicit GraficoEsatte(QWidget *genitore = nullptr);
  void imposta(const QList<PuntoSerie> &serie);
  [[nodiscard]] const QList<PuntoSerie> &serie() const { return m_serie; }

 protected:
  void paintEvent(QPaintEvent *e) override;

 private:
  QList<PuntoSerie> m_serie;
};

// The teacher's register: a class's pupils and the families they practised, a
// pupil's exercises with a chart, one exercise's operations, the classes and
// pupils, the printouts and the CSV files. Opened only behind the door.
class FrmRegistro : public QWidget {
  Q_OBJECT
 public:
  // Asks where to save a file (suggested name): the chosen path, or empty.
  using SceltaFile = std::function<QString(QWidget *, const QString &)>;
  // Asks the teacher to confirm (a question): true for yes.
  using Conferma = std::function<bool(QWidget *, const QString &)>;

  FrmRegistro(Registro &registro, Contesto &ctx, QWidget *genitore = nullptr);

  void impostaSceltaFile(SceltaFile s) { m_sceltaFile = std::move(s); }
  void impostaConferma(Conferma c) { m_conferma = std::move(c); }
  // The door's clock and the PIN digest's cost, for changing the PIN.
  void impostaPorta(PortaDocente::Adesso adesso, int iterazioni) {
    m_adesso = std::move(adesso);
    m_iterazioni = iterazioni;
  }

  // Where the register shown comes from, said above every view (the school's
  // server, or this computer's own register when the server is away); empty: nothing said.
  void impostaProvenienza(const QString &testo, bool avviso);
  // "In classe ora" over the class chosen (the school's server only).
  void apriInClasse();
  [[nodiscard]] FrmInClasse *finestraInClasse() const { return m_inClasse; }
  // The teacher's reading connection for "In classe ora" (none: it reads on the register's).
  void impostaLettore(LettoreInClasse *lettore) { m_lettore = lettore; }

  // Reads the register again into every view.
  void aggiorna();
  void mostraClasse(qint64 classe);
  void mostraAlunno(qint64 alunno);
  void mostraEsercizio(qint64 esercizio);

 private:
  void costruisciClasse(QWidget *pagina);
  void costruisciAlunno(QWidget *pagina);
  void costruisciEsercizio(QWidget *pagina);
  void costruisciGestione(QWidget *pagina);
  void riempiClassi();
  void riempiGestioneAlunni();
  void stampaClasse();
  void stampaAlunno();
  [[nodiscard]] QImage immagineGrafico() const;
  void cambiaPin();
  void importaElenco();
  void esporta(int tipo);  // 0 class, 1 pupil, 2 operations of the class
  bool esito(const Esito &e);
  void guasto();
  [[nodiscard]] qint64 classeScelta() const;
  [[nodiscard]] qint64 alunnoScelto() const;
  void dopoCancellazione(const Esito &e);

  Registro &m_registro;
  Contesto &m_ctx;
  SceltaFile m_sceltaFile;
  Conferma m_conferma;
  PortaDocente::Adesso m_adesso;
  int m_iterazioni = PortaDocente::kIterazioni;
  std::optional<VistaClasse> m_vista;
  std::optional<PaginaAlunno> m_pagina;
  QComboBox *m_cmbClasse = nullptr;
  QTabWidget *m_schede = nullptr;
  QTableWidget *m_tblClasse = nullptr;
  QComboBox *m_cmbAlunno = nullptr;
  QTableWidget *m_tblEsercizi = nullptr;
  GraficoEsatte *m_grafico = nullptr;
  QTableWidget *m_tblCasi = nullptr;  // the pupil's cases per family, once the register knows any
  void mostraPadronanza();
  QLabel *m_lblEsercizio = nullptr;
  QTableWidget *m_tblOperazioni = nullptr;
  QListWidget *m_lstClassi = nullptr;
  QListWidget *m_lstAlunni = nullptr;
  QLineEdit *m_txtNome = nullptr;
  QLabel *m_lblProvenienza = nullptr;
  PaginaComputer *m_paginaComputer = nullptr;  // the lab's computers (the school's server only)
  QPointer<FrmInClasse> m_inClasse;
  QPointer<LettoreInClasse> m_lettore;
};
