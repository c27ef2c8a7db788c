#include "ui/worksheets/frmsceltastampante.h"

#include "ui/common/aspetto.h"

frmSceltaStampante::frmSceltaStampante(Contesto &ctx, QWidget *genitore)
    : Finestra(QStringLiteral("frmSceltaStampante"), QStringLiteral("Scegli la stampante"), {6000, 3000}, aspetto::kSfondo, genitore), m_ctx(ctx) {}
