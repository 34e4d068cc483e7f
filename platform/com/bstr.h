#pragma once
// BSTR: the automation string. As on Windows a BSTR points at its first
// character, a 32-bit byte count sits just before it and a NUL just after
// the last character, so a BSTR can be handed to anything that takes a C
// string. A null BSTR is the empty string.
//
// Characters are 8-bit: the text is UTF-8, as everywhere in the platform,
// because Linux file names are byte strings and a path must cross
// IDispatch unchanged (RecreateBitmapFromFile receives one). So the length
// in characters and the length in bytes are the same number, and a BSTR may
// hold embedded NULs when made with SysAllocStringLen.

#include "platform/com/unknown.h"

using BSTR = OLECHAR*;
using LPBSTR = BSTR*;

// A copy of the NUL-terminated `psz`; null when `psz` is null or memory is out.
BSTR SysAllocString(const OLECHAR* psz);
// A string of `ui` characters copied from `pch`, or left zero-filled when
// `pch` is null.
BSTR SysAllocStringLen(const OLECHAR* pch, UINT ui);
void SysFreeString(BSTR bstrString);
UINT SysStringLen(BSTR bstr);

// Memory that COM hands to a caller who frees it (verb names, page lists).
void* CoTaskMemAlloc(std::size_t cb);
void CoTaskMemFree(void* pv);
