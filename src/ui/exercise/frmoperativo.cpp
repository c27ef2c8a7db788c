#include "ui/exercise/frmoperativo.h"

#include "ui/common/aspetto.h"

FrmOperativo::FrmOperativo(Contesto &ctx, QWidget *genitore)
    : Finestra(QStringLiteral("FrmOperativo"), QStringLiteral("VORNEL"), {9600, 7200}, aspetto::kSfondo, genitore), m_ctx(ctx) {}
