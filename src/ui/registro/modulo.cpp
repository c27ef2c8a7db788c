// The entry point of the register module, which the program loads at first use.
#include "ui/registro/quadernoregistro.h"

extern "C" Q_DECL_EXPORT Quaderno *vornel_nuovo_quaderno() { return new QuadernoRegistro(); }
