// Must not compile: the command line links no window, so no window header is in its reach.
#include "likert/frmTabela.h"
