#pragma once

#include <QList>
#include <QtGlobal>
#include <QString>
#include <QStringList>

// The ways a user reaches each window of the program, for the whole-program
// soak: from the window named `da`, the controls pressed in turn (widgets or
// menu entries, by object name, clicked where they are on the screen). A new
// window joins the soak with a line here; the soak then also insists that
// every run reaches it. A printout's file dialog is reached the same way.
// A step may also type: see Scrivi and Facoltativo; "tabs#n" picks the n-th
// tab of the tab widget named tabs.
struct Via {
  QString finestra;  // the window reached (object name, or class for Qt's own dialogs)
  QString da;
  QStringList passi;
};

inline const QString kDialogoFile = QStringLiteral("QFileDialog");

// A step that types: clicks into the field named `campo`, selects what it
// holds and types `testo` over it on the keyboard (digits and small letters;
// a line break is the Enter key).
inline QString Scrivi(const QString &campo, const QString &testo) {
  return campo + QLatin1Char('=') + testo;
}
// A step passed over when its window has no such control.
inline QString Facoltativo(const QString &passo) {
  return QLatin1Char('?') + passo;
}

// The teacher's door, in either of its forms: the PIN chosen twice at the
// first opening of a run's own register, typed once afterwards.
inline const QString kPinSoak = QStringLiteral("2468");
inline QStringList PassiDellaPorta() {
  return {Scrivi(QStringLiteral("txtPin"), kPinSoak), Facoltativo(Scrivi(QStringLiteral("txtConferma"), kPinSoak)),
          QStringLiteral("cmdEntra")};
}

// A step that waits: passed once the control named is shown (a button that
// appears when a connection has given up), the way dropped after a while.
inline QString Atteso(const QString &passo) {
  return QLatin1Char('~') + passo;
}

// The teacher on the soak's own school's server (VORNEL_SOAK_SERVER=privato).
inline const QString kDocenteSoak = QStringLiteral("maestra");
inline const QString kPasswordSoak = QStringLiteral("vornel2468");
inline QStringList PassiDelServer() {
  return {Scrivi(QStringLiteral("txtUtente"), kDocenteSoak), Scrivi(QStringLiteral("txtPassword"), kPasswordSoak),
          QStringLiteral("cmdEntra")};
}

// The ways with no school's server, as the program is by default.
inline QList<Via> VieSenzaServer() {
  return {
      {QStringLiteral("FrmOperativo"), QStringLiteral("frmInizio"),
       {QStringLiteral("Option1_2"), QStringLiteral("Option2_2"), QStringLiteral("Option3_0")}},
      {QStringLiteral("FrmStampaSchedeTre"), QStringLiteral("frmInizio"),
       {QStringLiteral("Option1_0"), QStringLiteral("Option2_0"), QStringLiteral("mnuStampa")}},
      {QStringLiteral("frmAutore"), QStringLiteral("frmInizio"), {QStringLiteral("mnuAutore")}},
      {QStringLiteral("frmLivello"), QStringLiteral("frmInizio"), {QStringLiteral("mnuLivello")}},
      {QStringLiteral("frmIstruzioni"), QStringLiteral("frmInizio"), {QStringLiteral("mnuIstruzioni")}},
      // The register's windows come from its module: the pupil's choice, and
      // the teacher's door before the register and the options (open at once
      // while the door remembers the teacher).
      {QStringLiteral("FrmAlunno"), QStringLiteral("frmInizio"), {QStringLiteral("mnuAlunno")}},
      {QStringLiteral("FrmPorta"), QStringLiteral("frmInizio"), {QStringLiteral("mnuRegistro")}},
      {QStringLiteral("FrmPorta"), QStringLiteral("frmInizio"), {QStringLiteral("mnuOpzioni")}},
      {QStringLiteral("frmOpzioni"), QStringLiteral("frmInizio"), {QStringLiteral("mnuOpzioni")}},
      {QStringLiteral("FrmRegistro"), QStringLiteral("frmInizio"), {QStringLiteral("mnuRegistro")}},
      {QStringLiteral("FrmRegistro"), QStringLiteral("FrmPorta"), PassiDellaPorta()},
      {QStringLiteral("frmOpzioni"), QStringLiteral("FrmPorta"), PassiDellaPorta()},
      {QStringLiteral("FrmCambiaPin"), QStringLiteral("FrmRegistro"), {QStringLiteral("cmdCambiaPin")}},
      // The school's server, for this computer: from the options.
      {QStringLiteral("FrmServer"), QStringLiteral("frmOpzioni"), {QStringLiteral("cmdServer")}},
      {QStringLiteral("FrmImporta"), QStringLiteral("FrmRegistro"),
       {QStringLiteral("tabRegistro#3"), QStringLiteral("cmdImportaElenco")}},
      {QStringLiteral("FrmStampaEsercizioTre"), QStringLiteral("FrmOperativo"), {QStringLiteral("mnuStampa")}},
      {QStringLiteral("FrmAttestato"), QStringLiteral("FrmStampaEsercizioTre"), {QStringLiteral("Option1_3")}},
      {QStringLiteral("frmSceltaStampante"), QStringLiteral("FrmStampaEsercizioTre"), {QStringLiteral("mnuScegli")}},
      {QStringLiteral("frmSceltaStampante"), QStringLiteral("FrmStampaSchedeTre"), {QStringLiteral("mnuStampante")}},
      // Printouts: each asks where to save its PDF.
      {kDialogoFile, QStringLiteral("FrmStampaSchedeTre"),
       {QStringLiteral("Option1_2"), QStringLiteral("Option2_1"), QStringLiteral("CmdVisualizzaSchedaDocenti"),
        QStringLiteral("CmdStampaSchedaDocenti")}},
      {kDialogoFile, QStringLiteral("FrmStampaSchedeTre"),
       {QStringLiteral("Option1_0"), QStringLiteral("Option2_0"), QStringLiteral("CmdVisualizzaSchedaAlunni"),
        QStringLiteral("CmdStampaSchedaAlunni")}},
      {kDialogoFile, QStringLiteral("FrmAttestato"), {QStringLiteral("Option5_0")}},
      {kDialogoFile, QStringLiteral("FrmStampaEsercizioTre"), {QStringLiteral("Option1_2")}},
  };
}

// With a school's server the door asks for the teacher's name and password on
// the server. Signed in (privato), the register is the school's: no PIN, and
// "In classe ora" opens from it. With a server that never answers (muto), the
// door offers this computer's register once the connection has given up,
// and the PIN's door follows.
inline const QList<Via> &Vie() {
  static const QList<Via> vie = [] {
    const QString server = qEnvironmentVariable("VORNEL_SOAK_SERVER");
    QList<Via> v = VieSenzaServer();
    if (server.isEmpty()) return v;
    const QString porta = QStringLiteral("FrmPortaServer");
    for (Via &via : v)
      if (via.finestra == QStringLiteral("FrmPorta")) via.finestra = porta;
    if (server == QStringLiteral("privato")) {
      v.removeIf([](const Via &via) {
        return via.finestra == QStringLiteral("FrmCambiaPin") || via.da == QStringLiteral("FrmPorta");
      });
      v.append({QStringLiteral("FrmRegistro"), porta, PassiDelServer()});
      v.append({QStringLiteral("frmOpzioni"), porta, PassiDelServer()});
      v.append({QStringLiteral("FrmInClasse"), QStringLiteral("FrmRegistro"), {QStringLiteral("cmdInClasse")}});
    } else {
      v.append({QStringLiteral("FrmPorta"), porta, PassiDelServer() << Atteso(QStringLiteral("cmdLocale"))});
    }
    return v;
  }();
  return vie;
}
