#pragma once
// OLE start-up and shut-down of a program.

#include "platform/base/win_types.h"

// Initialises COM for the program's thread; FALSE when that fails. The
// program's class registrations are revoked and COM uninitialised when the
// program ends (AfxOleTerm), after which no client can reach it.
BOOL AfxOleInit();
// Revokes the program's class objects, then, unless bJustRevoke, ends COM.
// The program stays under the user's control from then on: a client
// letting go during shut-down closes no window.
void AfxOleTerm(BOOL bJustRevoke = FALSE);
