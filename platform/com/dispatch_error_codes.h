#pragma once
// Result codes of IDispatch::Invoke that platform/base and
// com_error_codes.h do not already name, with their Windows values.

#include "platform/com/com_error_codes.h"

constexpr HRESULT DISP_E_PARAMNOTOPTIONAL = KP_HRESULT(0x8002000F);
